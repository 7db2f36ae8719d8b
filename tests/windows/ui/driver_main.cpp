// The UI drivers' entry: GoogleTest's flags, then --tarvinel=EXE, --acp=N and --artifacts=FOLDER,
// which become the environment the harness reads.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

int wmain(int argc, wchar_t** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const std::pair<const wchar_t*, const wchar_t*> options[] = {
        {L"--tarvinel=", L"TARVINEL_UI_EXE"},
        {L"--acp=", L"TARVINEL_UI_EXPECT_ACP"},
        {L"--artifacts=", L"TARVINEL_UI_ARTIFACTS"},
        {L"--server-log=", L"TARVINEL_UI_SERVER_LOG"},
    };
    for (int i = 1; i < argc; i++) {
        const std::wstring arg = argv[i];
        for (const auto& [prefix, variable] : options) {
            if (arg.rfind(prefix, 0) == 0) SetEnvironmentVariableW(variable, arg.substr(wcslen(prefix)).c_str());
        }
    }
    return RUN_ALL_TESTS();
}
