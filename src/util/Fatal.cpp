#include "util/Fatal.h"

Text FatalCodeMessage(int code) {
    switch (code) {
        case kFatalIndexAboveLength:
            return "\xca\xfd\xd7\xe9\xb3\xc9\xd4\xb1\xd2\xfd\xd3\xc3\xcf\xc2\xb1\xea\xb3\xac\xb3\xf6\xb6\xa8\xd2\xe5\xb7\xb6\xce\xa7";  // 数组成员引用下标超出定义范围
        case kFatalIndexBelowOne:
            return "\xca\xfd\xd7\xe9\xb3\xc9\xd4\xb1\xd2\xfd\xd3\xc3\xcf\xc2\xb1\xea\xb1\xd8\xd0\xeb\xb4\xf3\xd3\xda\xb5\xc8\xd3\xda" "1";  // 数组成员引用下标必须大于等于1
        case kFatalStackCheck:
            return "\xb5\xf7\xd3\xc3" "DLL" "\xc3\xfc\xc1\xee\xba\xf3\xb7\xa2\xcf\xd6\xb6\xd1\xd5\xbb\xb4\xed\xce\xf3";  // 调用DLL命令后发现堆栈错误
        default:
            return Text();
    }
}

Text FatalReportText(int code, const Text& message) {
    Text report = Concat("\xd4\xcb\xd0\xd0\xca\xb1\xb3\xf6\xb4\xed!\r\n\r\n");  // 运行时出错!
    if (code != kFatalNoCode) {
        report = Concat(report, "\xb4\xed\xce\xf3\xb4\xfa\xc2\xeb\xa3\xba", IntToText(code), "\r\n\r\n");  // 错误代码：
    }
    return Concat(report, "\xb4\xed\xce\xf3\xd0\xc5\xcf\xa2\xa3\xba", message, "\r\n");  // 错误信息：
}

void FatalError(int code) { ShowFatalReportAndExit(FatalReportText(code, FatalCodeMessage(code))); }

void FatalErrorMessage(const Text& message) { ShowFatalReportAndExit(FatalReportText(kFatalNoCode, message)); }
