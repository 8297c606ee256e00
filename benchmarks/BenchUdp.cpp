// kivo-bench-udp: loopback datagram helpers for the benchmark.
//
//   kivo-bench-udp port
//       A UDP port that is free (bound on every interface a moment ago).
//   kivo-bench-udp flood --port P --rate R --seconds S --account A
//       Sends R incoming calls for account A per second to 127.0.0.1:P for S seconds, each with its own
//       number; prints how many were sent.
#include "BenchUtil.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

int main(int argc, char* argv[]) {
    if (argc >= 2 && std::strcmp(argv[1], "port") == 0) {
        std::printf("%u\n", bench::FreeUdpPort());
        return 0;
    }
    if (argc < 2 || std::strcmp(argv[1], "flood") != 0) {
        std::fprintf(stderr,
                     "usage: kivo-bench-udp port | flood --port P --rate R --seconds S --account A\n");
        return 2;
    }
    int nPort = 0, nRate = 1000;
    double seconds = 1;
    std::string strAccount = "2001";
    for (int i = 2; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--port") == 0)
            nPort = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--rate") == 0)
            nRate = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--seconds") == 0)
            seconds = std::atof(argv[i + 1]);
        else if (std::strcmp(argv[i], "--account") == 0)
            strAccount = argv[i + 1];
    }
    if (nPort <= 0 || nPort > 65535 || nRate <= 0)
        return 2;

    // One batch every 10 ms.
    const int nPerBatch = std::max(1, nRate / 100);
    uint64_t nSent = 0;
    bench::CLoopbackBatchSender sender(static_cast<uint16_t>(nPort));
    const bench::Clock::time_point t0 = bench::Clock::now();
    for (int nTick = 0; bench::MsSince(t0) < seconds * 1000; ++nTick) {
        std::vector<std::string> texts;
        for (int i = 0; i < nPerBatch; ++i) {
            char szNumber[24];
            std::snprintf(szNumber, sizeof szNumber, "0%llu", 300000000ULL + nSent + i);
            texts.push_back(bench::IncomingCall(strAccount, szNumber));
        }
        nSent += sender.Send(texts);
        std::this_thread::sleep_until(t0 + std::chrono::milliseconds(10 * (nTick + 1)));
    }
    std::printf("%llu\n", static_cast<unsigned long long>(nSent));
    return 0;
}
