#include "expected_status.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <map>

#include "resources/resource.h"

std::string ToCp932(const std::string &utf8)
{
    iconv_t converter = iconv_open("CP932", "UTF-8");
    if (converter == (iconv_t)-1) {
        ADD_FAILURE() << "iconv has no CP932";
        return {};
    }
    std::string in = utf8;
    std::string out(in.size() * 2, '\0');
    char *inPtr = in.data();
    char *outPtr = out.data();
    size_t inLeft = in.size(), outLeft = out.size();
    if (iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft) == (size_t)-1)
        ADD_FAILURE() << "cannot convert \"" << utf8 << "\" to CP932";
    iconv_close(converter);
    out.resize(out.size() - outLeft);
    return out;
}

std::string ExpectedStatus(int id, int value)
{
    static const std::map<int, std::string> ACTIONS = {
        {IDC_SEND_A, "Aを送信"},
        {IDC_SEND_ABC, "abcを送信"},
        {IDC_SEND_12345, "12345を送信"},
        {IDC_START, "RS-232Cによる通信開始"},
        {IDC_STOP, "通信終了"},
    };
    return ToCp932(ACTIONS.at(id) + " [関数の戻り値=" + std::to_string(value) + "]");
}
