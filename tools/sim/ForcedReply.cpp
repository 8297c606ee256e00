#include "ForcedReply.h"

#include <charconv>

namespace {

bool ParseInt(const std::string& strText, int nMin, int nMax, int& nValue) {
    int n = 0;
    const char* pEnd = strText.data() + strText.size();
    auto [p, ec] = std::from_chars(strText.data(), pEnd, n);
    if (ec != std::errc() || p != pEnd || n < nMin || n > nMax)
        return false;
    nValue = n;
    return true;
}

const char* ShapeName(EReplyShape eShape) {
    switch (eShape) {
    case EReplyShape::Cut:
        return "cut";
    case EReplyShape::Big:
        return "big";
    case EReplyShape::Close:
        return "close";
    default:
        return "normal";
    }
}

bool ParseShape(const std::string& strName, EReplyShape& eShape) {
    for (EReplyShape e : {EReplyShape::Normal, EReplyShape::Cut, EReplyShape::Big, EReplyShape::Close}) {
        if (strName == ShapeName(e)) {
            eShape = e;
            return true;
        }
    }
    return false;
}

} // namespace

bool IsReplyKind(const std::string& strKind) {
    return strKind == "regist" || strKind == "call";
}

bool ParseForcedReply(const CParamList& params, CForcedReply& reply, std::string& strError) {
    for (const auto& [strKey, strValue] : params) {
        bool bOk = true;
        if (strKey == "body") {
            reply.m_bHasBody = true;
            reply.m_strBody = strValue;
        } else if (strKey == "status") {
            bOk = ParseInt(strValue, 100, 599, reply.m_nStatus);
        } else if (strKey == "delay") {
            bOk = ParseInt(strValue, 0, 600000, reply.m_nDelayMs);
        } else if (strKey == "shape") {
            bOk = ParseShape(strValue, reply.m_eShape);
        } else if (strKey == "size") {
            int nSize = 0;
            bOk = ParseInt(strValue, 1, 16 << 20, nSize);
            reply.m_nSize = static_cast<size_t>(nSize);
        } else if (strKey == "count") {
            if (strValue == "all")
                reply.m_nCount = 0;
            else
                bOk = ParseInt(strValue, 0, 1000000, reply.m_nCount);
        } else {
            strError = "unknown key '" + strKey + "'";
            return false;
        }
        if (!bOk) {
            strError = "bad value '" + strValue + "' for " + strKey;
            return false;
        }
    }
    return true;
}

bool ParseForceOption(const std::string& strArg, std::string& strKind, CForcedReply& reply,
                      std::string& strError) {
    size_t nEq = strArg.find('=');
    strKind = strArg.substr(0, nEq);
    if (nEq == std::string::npos || !IsReplyKind(strKind)) {
        strError = "expected regist=... or call=...";
        return false;
    }
    CParamList params;
    size_t nPos = nEq + 1;
    while (nPos <= strArg.size()) {
        if (strArg.compare(nPos, 5, "body:") == 0) {
            params.emplace_back("body", strArg.substr(nPos + 5));
            break;
        }
        size_t nComma = strArg.find(',', nPos);
        std::string strItem = strArg.substr(nPos, nComma == std::string::npos ? nComma : nComma - nPos);
        size_t nColon = strItem.find(':');
        if (nColon != std::string::npos)
            params.emplace_back(strItem.substr(0, nColon), strItem.substr(nColon + 1));
        else if (strItem == "all")
            params.emplace_back("count", "all");
        else if (!strItem.empty())
            params.emplace_back("shape", strItem);
        if (nComma == std::string::npos)
            break;
        nPos = nComma + 1;
    }
    return ParseForcedReply(params, reply, strError);
}

std::string DescribeForcedReply(const CForcedReply& reply) {
    std::string str = "status=" + std::to_string(reply.m_nStatus);
    str += " delay=" + std::to_string(reply.m_nDelayMs);
    str += std::string(" shape=") + ShapeName(reply.m_eShape);
    if (reply.m_eShape == EReplyShape::Big)
        str += " size=" + std::to_string(reply.m_nSize);
    str += " count=" + (reply.m_nCount == 0 ? std::string("all") : std::to_string(reply.m_nCount));
    str += reply.m_bHasBody ? " body=" + reply.m_strBody : std::string(" body=(normal)");
    return str;
}

void CForcedReplies::Add(const std::string& strKind, const CForcedReply& reply) {
    std::lock_guard lock(m_mutex);
    m_mapQueues[strKind].push_back(reply);
}

std::optional<CForcedReply> CForcedReplies::Take(const std::string& strKind) {
    std::lock_guard lock(m_mutex);
    auto it = m_mapQueues.find(strKind);
    if (it == m_mapQueues.end() || it->second.empty())
        return std::nullopt;
    CForcedReply& front = it->second.front();
    CForcedReply taken = front;
    if (front.m_nCount > 0 && --front.m_nCount == 0)
        it->second.pop_front();
    return taken;
}

void CForcedReplies::Clear(const std::string& strKind) {
    std::lock_guard lock(m_mutex);
    if (strKind.empty())
        m_mapQueues.clear();
    else
        m_mapQueues.erase(strKind);
}

std::string CForcedReplies::Describe() const {
    std::lock_guard lock(m_mutex);
    std::string str;
    for (const auto& [strKind, queue] : m_mapQueues)
        for (const CForcedReply& reply : queue)
            str += strKind + ": " + DescribeForcedReply(reply) + "\n";
    return str;
}
