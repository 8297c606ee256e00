// A GET to the simulator for the benchmark's programs, kept apart from the X11 headers (whose None
// macro clashes with the transport's names).
#pragma once

#include <string>

// GET http://HOST:PORT<target> with the program's own transport; true for a status 200 with its whole
// body.
bool HttpGet(const std::string& strHostPort, const std::string& target);
