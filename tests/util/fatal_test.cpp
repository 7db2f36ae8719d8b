#include "util/Fatal.h"

#include <gtest/gtest.h>

namespace {

TEST(FatalTest, ReportTextWithAndWithoutCode) {
    // 运行时出错! / 错误代码： / 错误信息：
    const std::string head = "\xD4\xCB\xD0\xD0\xCA\xB1\xB3\xF6\xB4\xED!\r\n\r\n";
    const std::string code = "\xB4\xED\xCE\xF3\xB4\xFA\xC2\xEB\xA3\xBA";
    const std::string info = "\xB4\xED\xCE\xF3\xD0\xC5\xCF\xA2\xA3\xBA";
    EXPECT_EQ(FatalReportText(kFatalStackCheck, FatalCodeMessage(kFatalStackCheck)).Str(),
              head + code + "6\r\n\r\n" + info +
                  "\xB5\xF7\xD3\xC3" "DLL" "\xC3\xFC\xC1\xEE\xBA\xF3\xB7\xA2\xCF\xD6\xB6\xD1\xD5\xBB\xB4\xED\xCE\xF3\r\n");
    EXPECT_EQ(FatalReportText(kFatalNoCode, "x").Str(), head + info + "x\r\n");
}

// On Windows the report is a message box; its own driver test presses OK there.
#ifndef _WIN32
TEST(FatalDeathTest, ReportGoesToStderrAndExitsWithMinusOne) {
    EXPECT_EXIT(FatalErrorMessage("boom"), ::testing::ExitedWithCode(255),
                "\xD4\xCB\xD0\xD0\xCA\xB1\xB3\xF6\xB4\xED!\r\n\r\n\xB4\xED\xCE\xF3\xD0\xC5\xCF\xA2\xA3\xBA" "boom\r\n");
}
#endif

}  // namespace
