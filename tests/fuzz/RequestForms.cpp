// Request targets built from stored or typed values: the account, password and number are split from
// the input at newlines, the fourth part is the ring time. Whatever the values, the target must stay
// one valid request target, and a value must reach the exchange as it was typed.
#include "FuzzInput.h"

#include "app/AsciiText.h"
#include "app/TextUtil.h"
#include "pbxweb/RequestForms.h"

namespace {

void CheckValue(std::u16string_view strValue) {
    const std::u16string strEncoded = EncodeRequestValue(strValue);
    const std::string encoded = U16ToUtf8(strEncoded);
    for (char ch : encoded) {
        const auto b = static_cast<unsigned char>(ch);
        FUZZ_CHECK(b > 0x20 && b < 0x7F && b != '#');
    }
    FUZZ_CHECK(PercentDecodeBytes(encoded) == PercentDecodeBytes(U16ToUtf8(strValue)));
    FUZZ_CHECK(EncodeRequestValue(strEncoded) == strEncoded);
}

void CheckTarget(std::u16string_view strTarget) {
    for (char16_t ch : strTarget)
        FUZZ_CHECK(ch > 0x20 && ch < 0x7F && ch != u'#');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    const std::string_view bytes = AsBytes(pData, nSize);
    const std::vector<std::string_view> parts = SplitBytes(bytes, '\n');
    const auto Part = [&](size_t i) { return i < parts.size() ? Utf8ToU16(parts[i]) : std::u16string(); };
    const std::u16string strUser = Part(0), strPass = Part(1), strDialNo = Part(2);
    const int nNumber = parts.size() > 3 ? WrappedInt(parts[3]) : 10;

    CheckValue(strUser);
    CheckValue(strPass);
    CheckValue(strDialNo);
    CheckValue(BytesAsU16(bytes));

    const std::u16string strCall = FormatCallRequest(strUser, strPass, strDialNo, nNumber);
    FUZZ_CHECK(strCall.starts_with(u"/manager/kivodialer/call?callid="));
    CheckTarget(strCall);
    const std::u16string strRegist = FormatRegistRequest(strUser, strPass, nNumber, 1);
    FUZZ_CHECK(strRegist.starts_with(u"/manager/kivodialer/regist?callid="));
    CheckTarget(strRegist);
    return 0;
}
