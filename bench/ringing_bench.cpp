// Prints how long an alarm takes to be heard: from the due time of its
// notification to its first samples in the sound capture, over several
// alarms, with Wakeloom closed (the launcher starts it) and running.
#include <windows.h>

#include <stdio.h>

#include <algorithm>
#include <vector>

#include "contract.h"
#include "resource.h"
#include "soundtest.h"
#include "testsupport.h"

static bool Install(const TempFolder& install)
{
    CreateDirectoryW((install / L"sounds").c_str(), nullptr);
    if (!CopyFileW(ProgramPath(WAKELOOM_PROGRAM_FILE).c_str(),
                      (install / WAKELOOM_PROGRAM_FILE).c_str(), FALSE)
        || !CopyFileW(BuildSoundPath(L"buzz.wav").c_str(), (install / L"sounds\\buzz.wav").c_str(),
                      FALSE))
        return false;
    WriteText(INSTALL_PATH, L"InstlDir", install.path);
    WriteDword(AlarmKeyPath(2).c_str(), L"AlarmOn", 1);
    WriteDword(AlarmKeyPath(2).c_str(), L"UseSystemVol", 1);
    WriteDword(SETTINGS_PATH, L"ShowIcon", 0);
    return true;
}

// Milliseconds from `due` until the capture begins with the alarm's
// samples; -1 when it never does.
static double HeardAfter(LONGLONG due, const std::vector<short>& start)
{
    double heard = -1;
    PumpUntil([&] {
        std::vector<short> samples = ReadSoundCapture().samples;
        if (samples.size() < start.size() || !std::equal(start.begin(), start.end(), samples.begin()))
            return false;
        heard = static_cast<double>(static_cast<LONGLONG>(LocalNowTicks()) - due) / 10000;
        return true;
    }, 15000);
    return heard;
}

static void StopRinging(bool closeWakeloom)
{
    HWND dialog = WaitForWindow(L"#32770", L"Alarm 3", 10000);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_STOP, BN_CLICKED), 0);
    PumpUntil([&] { return !IsWindow(dialog); }, 10000);
    HWND window = FindWindowW(WAKELOOM_NAME, WAKELOOM_NAME);
    if (!closeWakeloom || window == nullptr)
        return;
    PostMessageW(window, WM_CLOSE, 0, 0);
    PumpUntil([] { return FindWindowW(WAKELOOM_NAME, WAKELOOM_NAME) == nullptr; }, 15000);
}

static void Measure(const char* label, bool closed, int alarms, const std::vector<short>& start)
{
    std::vector<double> delays;
    for (int i = 0; i < alarms; i++) {
        ClearSoundCapture();
        SYSTEMTIME due = LocalTimeIn(1500);
        CE_NOTIFICATION_TRIGGER trigger = MakeTrigger(L"\\Windows\\wklmgr.exe", L"/ID:2", due,
                                                      LocalTimeIn(120000));
        if (CeSetUserNotificationEx(nullptr, &trigger, nullptr) == nullptr)
            break;
        double delay = HeardAfter(Ticks(due), start);
        if (delay >= 0)
            delays.push_back(delay);
        StopRinging(closed);
    }
    std::sort(delays.begin(), delays.end());
    if (delays.empty()) {
        printf("%-22s no alarm was heard\n", label);
        return;
    }
    printf("%-22s %zu alarms: median %.0f ms, best %.0f ms, worst %.0f ms\n", label, delays.size(),
           delays[delays.size() / 2], delays.front(), delays.back());
}

int main()
{
    const int alarms = 10;
    ResetProgramRegistry();
    ClearAllNotifications();
    TempFolder install;
    if (!Install(install)) {
        printf("could not install Wakeloom for the benchmark\n");
        return 1;
    }
    std::vector<short> pass = WavFileSamples(BuildSoundPath(L"buzz.wav"));
    std::vector<short> start(pass.begin(), pass.begin() + std::min<size_t>(pass.size(), 441));

    Measure("Wakeloom closed:", true, alarms, start);
    ChildProcess running = StartProgram(WAKELOOM_PROGRAM_FILE, L"");
    WaitForWindow(WAKELOOM_NAME, WAKELOOM_NAME, 15000);
    Measure("Wakeloom running:", false, alarms, start);
    PostMessageW(FindWindowW(WAKELOOM_NAME, WAKELOOM_NAME), WM_CLOSE, 0, 0);
    WaitForExit(running, 15000);
    KillProgram(running);
    ClearAllNotifications();
    ResetProgramRegistry();
    return 0;
}
