// Replies the simulator gives instead of its normal ones, so that a client can be shown a broken or
// unexpected exchange: another text, another status, a slow, cut, oversized or missing reply.
#pragma once

#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

enum class EReplyShape {
    Normal, // status and body as they are
    Cut,    // Content-Length larger than the body, connection closed after the body
    Big,    // body padded with '.' up to m_nSize bytes
    Close,  // connection closed before anything is sent
};

struct CForcedReply {
    bool m_bHasBody = false; // false: the body the request would normally get
    std::string m_strBody;
    int m_nStatus = 200;
    int m_nDelayMs = 0;
    EReplyShape m_eShape = EReplyShape::Normal;
    size_t m_nSize = 8192; // whole body size of a Big reply
    int m_nCount = 1;      // replies left; 0 = every reply until cleared
};

using CParamList = std::vector<std::pair<std::string, std::string>>;

// The request kinds whose replies can be forced: "regist" and "call".
bool IsReplyKind(const std::string& strKind);

// Reads the keys body, status, delay, shape, size and count; false with a reason on an unknown key or a
// bad value.
bool ParseForcedReply(const CParamList& params, CForcedReply& reply, std::string& strError);

// Reads a command-line force "KIND=ITEM,ITEM,...": ITEM is key:value with the keys above, or a bare
// shape (cut, big, close) or "all". "body:" takes the rest of the text, commas included, so it comes last.
bool ParseForceOption(const std::string& strArg, std::string& strKind, CForcedReply& reply,
                      std::string& strError);

std::string DescribeForcedReply(const CForcedReply& reply);

// Per kind, a first-in-first-out list of forced replies; each request of the kind uses up one reply of
// the front entry.
class CForcedReplies {
public:
    void Add(const std::string& strKind, const CForcedReply& reply);
    std::optional<CForcedReply> Take(const std::string& strKind);
    void Clear(const std::string& strKind); // empty kind: every kind
    std::string Describe() const;           // one line per pending entry

private:
    mutable std::mutex m_mutex;
    std::map<std::string, std::deque<CForcedReply>> m_mapQueues;
};
