// The product version from a file's VERSIONINFO resource, as the about box reads it.
#pragma once

#include <string>

// "ProductVersion" of the first translation under "\VarFileInfo\Translation" of the file at strPath
// (empty: the running executable). Empty when the file has no version resource or a query fails.
std::u16string ReadProductVersion(const std::u16string& strPath = {});
