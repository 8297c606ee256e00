// kivo-pbx-sim: a stand-in KIVO-PBX exchange on this machine, for trying out and testing KIVODialer.
#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <pthread.h>
#include <unistd.h>

#include "PbxSimulator.h"

namespace {

const char kUsage[] = R"(Usage: kivo-pbx-sim [OPTION]...
A stand-in KIVO-PBX exchange: web API, manager pages, incoming-call datagrams.

Options:
  --bind ADDR         listen address (default 127.0.0.1)
  --port N            listen port; 0 picks a free one (default 0)
  --account USER:PASS an account (repeatable; default 2001:2001 when none is given)
  --force KIND=ITEMS   force replies of KIND (regist or call) from the start (repeatable)
  --log FILE          also append every request to FILE
  --help              this text

On start one line goes to stdout: "kivo-pbx-sim listening on ADDR:PORT". SIGINT or SIGTERM
stops the simulator (exit status 0).

Web API (replies text/plain UTF-8, status 200):
  /manager/kivodialer/regist?callid=&passwd=&port=&type=   OK | NG;Auth NG
  /manager/kivodialer/call?callid=&passwd=&dialno=&cbtime= Call_OK | Call_NG (empty dialno) | NG;Auth NG
Pages: /manager/, /manager/login?username=&password=&redirecturl= (302 to redirecturl on
success; UTF-8 or code page 932 bytes), /addrbook, /cdr.

Forced replies. ITEMS is a comma-separated list of items:
  status:N            HTTP status (default 200)
  delay:MS            wait MS milliseconds before replying
  cut | big | close   shape: Content-Length larger than the body and the connection closed
                      after it | body padded with '.' up to size bytes | connection closed
                      without any reply
  size:N              body size of a big reply (default 8192)
  count:N | all       how many replies (default 1); all = until cleared
  body:TEXT           the body instead of the normal reply; takes the rest of ITEMS, commas
                      included, so it comes last
  e.g. --force regist=status:500  --force call=count:2,body:Call_NG  --force regist=all,big

Control endpoints (GET, not logged):
  /_sim/force?kind=regist|call[&body=][&status=][&delay=][&shape=normal|cut|big|close]
             [&size=][&count=N|all]   queue a forced reply; each request of the kind uses up
                                      one reply of the oldest queued entry
  /_sim/force/list                    the queued forced replies
  /_sim/force/clear[?kind=]           drop the queued forced replies (all kinds if none given)
  /_sim/log                           the request log since the start or the last clear
  /_sim/log/clear                     clear it (the --log file keeps its lines)
  /_sim/registrations                 ACCOUNT<TAB>ADDRESS<TAB>PORT per accepted registration
  /_sim/notify?account=A[&number=][&name=][&supp=][&title=][&prefix=][&line1=][&line2=]
             [&raw=BYTES][&to=ADDR:PORT][&count=N]
      sends "request\tA\t\tnumber\tname\tsupp\t\ttitle\tprefix\tline1\tline2\t" (or the
      percent-decoded raw bytes; '+' is a space) as UDP to the address and port that A
      registered, or to `to`. Loopback destinations only.

Request log line (tab-separated): TIME REMOTE METHOD PATH QUERY USER_AGENT, with PATH and
QUERY as received (not decoded).
)";

bool ParsePort(const char* pszText, int& nPort) {
    const char* pEnd = pszText + strlen(pszText);
    auto [p, ec] = std::from_chars(pszText, pEnd, nPort);
    return ec == std::errc() && p == pEnd && p != pszText && nPort >= 0 && nPort <= 65535;
}

int Fail(const std::string& strMessage) {
    fprintf(stderr, "kivo-pbx-sim: %s\nTry 'kivo-pbx-sim --help'.\n", strMessage.c_str());
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    std::string strBind = "127.0.0.1", strLogFile;
    int nPort = 0;
    CAccounts accounts;
    std::vector<std::pair<std::string, CForcedReply>> forces;
    for (int i = 1; i < argc; ++i) {
        std::string strOpt = argv[i];
        if (strOpt == "--help" || strOpt == "-h") {
            fputs(kUsage, stdout);
            return 0;
        }
        if (i + 1 >= argc)
            return Fail("unknown option or missing value: " + strOpt);
        const char* pszValue = argv[++i];
        if (strOpt == "--bind") {
            strBind = pszValue;
        } else if (strOpt == "--port") {
            if (!ParsePort(pszValue, nPort))
                return Fail(std::string("bad port: ") + pszValue);
        } else if (strOpt == "--account") {
            if (!accounts.AddOption(pszValue))
                return Fail(std::string("expected USER:PASS: ") + pszValue);
        } else if (strOpt == "--force") {
            std::string strKind, strError;
            CForcedReply reply;
            if (!ParseForceOption(pszValue, strKind, reply, strError))
                return Fail("--force " + std::string(pszValue) + ": " + strError);
            forces.emplace_back(strKind, reply);
        } else if (strOpt == "--log") {
            strLogFile = pszValue;
        } else {
            return Fail("unknown option: " + strOpt);
        }
    }
    if (accounts.Empty())
        accounts.Add("2001", "2001");

    // Signals are taken by sigwait below; every thread started from here on inherits the mask.
    sigset_t sigs;
    sigemptyset(&sigs);
    sigaddset(&sigs, SIGINT);
    sigaddset(&sigs, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &sigs, nullptr);
    // A forced "close" reply leaves httplib writing to a shut socket.
    signal(SIGPIPE, SIG_IGN);

    CPbxSimulator sim(std::move(accounts));
    for (const auto& [strKind, reply] : forces)
        sim.ForcedReplies().Add(strKind, reply);
    std::string strError;
    if (!strLogFile.empty() && !sim.Log().OpenFile(strLogFile, strError)) {
        fprintf(stderr, "kivo-pbx-sim: %s\n", strError.c_str());
        return 1;
    }
    int nBound = sim.Bind(strBind, nPort);
    if (nBound < 0) {
        fprintf(stderr, "kivo-pbx-sim: cannot listen on %s:%d\n", strBind.c_str(), nPort);
        return 1;
    }
    bool bV6 = strBind.find(':') != std::string::npos;
    printf("kivo-pbx-sim listening on %s:%d\n", (bV6 ? "[" + strBind + "]" : strBind).c_str(), nBound);
    fflush(stdout);

    bool bServed = true;
    std::thread server([&] {
        bServed = sim.Run();
        kill(getpid(), SIGTERM); // wakes sigwait when serving ended by itself
    });
    int nSignal = 0;
    sigwait(&sigs, &nSignal);
    sim.Stop();
    server.join();
    if (!bServed) {
        fprintf(stderr, "kivo-pbx-sim: serving failed\n");
        return 1;
    }
    return 0;
}
