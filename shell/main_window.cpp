#include "shell/main_window.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <stdexcept>

#include "shell/logo.h"

TEngineCalls EngineCalls{};

TRunMode RunMode = Preview;
platform::WindowHandle ParentHandle = 0;
std::int32_t StartCursorX = 0;
std::int32_t StartCursorY = 0;
TSettings Settings;
TRunChoices RunChoices;
std::vector<TLakeView> MonitorViews;

const char* const WebsiteAddress = "https://moonquill.example/screensavers";
const char* const VisitWebsiteCaption = "Visit our website for more 3D screensavers.\r\nClick Here.";
const char* const WaterfallSound = "sounds\\smallwaterfall.wav";

namespace {
// Set once the destruction handler has run: no frame, timer or input may
// touch the released device or sounds afterwards.
bool Destroyed = false;
// What the preview set-up holds, for the tear-down.
bool PreviewLogoLoaded = false;
// Set while the run's sound is started ("Play Sound" checked).
bool SoundStarted = false;

constexpr std::uint8_t OpenGlBackend = 2;

void ReleaseSound() {
    EngineCalls.FreeSounds();
    EngineCalls.ShutdownSound();
    SoundStarted = false;
}

void ApplyRunChoices(TSettings& settings) {
    const TRunChoices& c = RunChoices;
    if (c.FPSShow >= 0) settings.FPSShow = c.FPSShow != 0;
    if (c.TimeShow >= 0) settings.TimeShow = c.TimeShow != 0;
    if (c.Time24 >= 0) {
        settings.Time24 = c.Time24 != 0;
        settings.Time12 = !settings.Time24;
    }
    if (c.SoundOn >= 0) settings.SoundOn = c.SoundOn != 0;
}

// The rectangle round every monitor, in screen pixels.
TRect BoundingRect(const std::vector<TRect>& monitors) {
    int left = monitors[0].Left, top = monitors[0].Top;
    int right = left + monitors[0].Width, bottom = top + monitors[0].Height;
    for (const TRect& m : monitors) {
        left = std::min(left, m.Left);
        top = std::min(top, m.Top);
        right = std::max(right, m.Left + m.Width);
        bottom = std::max(bottom, m.Top + m.Height);
    }
    return TRect{left, top, right - left, bottom - top};
}

bool Overlap(const TRect& a, const TRect& b) {
    auto span = [](int from, int length) { return std::int64_t{from} + length; };
    return a.Left < span(b.Left, b.Width) && b.Left < span(a.Left, a.Width) &&
           a.Top < span(b.Top, b.Height) && b.Top < span(a.Top, a.Height);
}

std::int64_t Area(const TRect& r) {
    return std::int64_t{r.Width} * r.Height;
}

// What the monitors show: monitors that overlap (a laptop mirrored on a
// projector of another size, heads that share a strip), directly or through
// others, show one picture, in the rectangle of the largest of them (the
// first listed of equals). Groups keep the order of their first monitor, so
// the primary's comes first.
std::vector<TRect> MergeOverlapping(const std::vector<TRect>& monitors) {
    // Each monitor's group, named by its first member.
    std::vector<std::size_t> group(monitors.size());
    for (std::size_t i = 0; i < group.size(); ++i)
        group[i] = i;
    for (std::size_t i = 0; i < monitors.size(); ++i)
        for (std::size_t j = i + 1; j < monitors.size(); ++j) {
            if (group[i] == group[j] || !Overlap(monitors[i], monitors[j])) continue;
            const std::size_t from = std::max(group[i], group[j]), to = std::min(group[i], group[j]);
            for (std::size_t& g : group)
                if (g == from) g = to;
        }
    std::vector<TRect> shown;
    for (std::size_t first = 0; first < monitors.size(); ++first) {
        if (group[first] != first) continue;
        std::size_t largest = first;
        for (std::size_t k = first + 1; k < monitors.size(); ++k)
            if (group[k] == first && Area(monitors[k]) > Area(monitors[largest])) largest = k;
        shown.push_back(monitors[largest]);
    }
    return shown;
}

// The monitors' rectangles (top-down, in screen pixels) as views of the
// window over `box`, counted from its lower left corner.
std::vector<TLakeView> ViewsOf(const std::vector<TRect>& monitors, const TRect& box) {
    std::vector<TLakeView> views;
    for (const TRect& m : monitors)
        views.push_back(
            TLakeView{m.Left - box.Left, box.Top + box.Height - m.Top - m.Height, m.Width, m.Height});
    return views;
}

// The host of the mode the arguments chose; a window system that does not
// offer that mode was handed the wrong arguments.
template <typename THost> THost& Required(THost* host) {
    if (!host) throw std::logic_error("This window does not offer the run mode the arguments ask for");
    return *host;
}
} // namespace

void ResetMainWindowState() {
    RunMode = Preview;
    ParentHandle = 0;
    StartCursorX = StartCursorY = 0;
    Settings = TSettings();
    RunChoices = TRunChoices();
    MonitorViews.clear();
    Destroyed = false;
    PreviewLogoLoaded = false;
    SoundStarted = false;
}

void FormCreate(const TMainWindowHosts& hosts, const TArguments& args) {
    LoadSettings(Settings);
    if (ChooseWindowSetUp(args) != SetUpConfigure) ApplyRunChoices(Settings);
    switch (ChooseWindowSetUp(args)) {
    case SetUpPreview:
        RequireHomeDir(); // the logo
        PreviewSetUp(Required(hosts.Preview), args);
        break;
    case SetUpFullScreen:
        RequireHomeDir(); // the scene and the sound
        FullScreenSetUp(Required(hosts.FullScreen));
        break;
    case SetUpConfigure:
        // Opens without a home directory too: the user needs it to see the settings.
        ConfigureSetUp(Required(hosts.Dialog), args);
        break;
    }
}

void ShowMainWindow(const TMainWindowHosts& hosts) {
    if (RunMode == Running && hosts.FullScreen)
        hosts.FullScreen->ShowMaximized();
    else if (RunMode == Configure && hosts.Dialog)
        hosts.Dialog->ShowNormal();
    // The preview never shows the main window; the timer paints the logo.
}

void PreviewSetUp(TPreviewHost& host, const TArguments& args) {
    host.MakeNormal();
    host.LoadPreviewLogo(PreviewLogoFile);
    PreviewLogoLoaded = true;
    try {
        ParentHandle = PreviewParent(args);
    } catch (...) {
        host.FreePreviewLogo();
        PreviewLogoLoaded = false;
        throw;
    }
    host.MakeChild();
    host.SetParentWindow(PreviewParent(args));
    RunMode = Preview;
}

void ConfigureSetUp(TDialogHost& host, const TArguments& args) {
    host.SetControlText(TControl::VisitWebsite, VisitWebsiteCaption);
    host.ShowSettings(Settings);
    // The window on the command line belongs to the control panel's dialog,
    // which must stay unusable while ours is open.
    platform::WindowHandle window = ConfigureWindow(args);
    ParentHandle = window ? host.ParentOf(window) : 0;
    if (ParentHandle) host.EnableWindow(ParentHandle, false);
    host.MakeNormal();
    host.MakeDialog(DialogWidth, DialogHeight);
    RunMode = Configure;
    host.SetCaption(ConfigurationCaption);
}

void FullScreenSetUp(TFullScreenHost& host) {
    int x = 0, y = 0;
    host.GetCursorPos(x, y);
    StartCursorX = x;
    StartCursorY = y;
    for (TControl control : {TControl::GroupBox1, TControl::GroupBox2, TControl::Image1,
                             TControl::RestoreDefaults, TControl::Apply, TControl::Cancel, TControl::About})
        host.HideControl(control);

    const TEngineCalls& e = EngineCalls;
    bool deviceStarted = false;
    try {
        // "Play Sound" unchecked: no device, no wave file, nothing played.
        if (Settings.SoundOn) {
            e.InitSound(host.Handle());
            SoundStarted = true;
            e.LoadWave(WaterfallSound);
            e.PlaySound(0, false, true);
            SetVolumes(0, 0);
        }
        // The window covers every monitor before the device is made on it.
        MonitorViews.clear();
        if (Settings.EveryMonitor) {
            std::vector<TRect> monitors = host.ListMonitors();
            monitors.erase(std::remove_if(monitors.begin(), monitors.end(),
                                          [](const TRect& m) { return m.Width <= 0 || m.Height <= 0; }),
                           monitors.end());
            if (monitors.size() > 1) {
                // The window covers every monitor; the views are what they show.
                const TRect box = BoundingRect(monitors);
                host.SpanWindow(box);
                const std::vector<TRect> shown = MergeOverlapping(monitors);
                // One picture over the whole window is the plain frame.
                if (shown.size() > 1 || Area(shown[0]) != Area(box)) MonitorViews = ViewsOf(shown, box);
            }
        }
        e.SetDeviceWindow(host.Handle());
        e.SelectBackend(OpenGlBackend);
        e.DeviceInit();
        deviceStarted = true;
        // Texture directory "models", the lake (model 0), feature switches,
        // the clock and counter models, the water.
        e.SetUpLakeScene();
    } catch (...) {
        // Nothing of a run that never starts is left behind.
        if (deviceStarted) e.DeviceDone();
        if (SoundStarted) ReleaseSound();
        throw;
    }
    host.HideCursor();
    // Random source seeded, then the ripples advanced with no frame open.
    e.WarmUpWater();
    e.StartFrameCounters();
    RunMode = Running;
}

bool ApplicationEvents1Idle(TPreviewHost& host) {
    if (Destroyed) return true;
    switch (RunMode) {
    case Preview:
        if (host.IsVisible()) host.Hide();
        return true;
    case Running:
        // BeginFrame, camera 1 of the lake, the lake, the water, the counter
        // and the clock when checked, EndFrame.
        if (MonitorViews.empty())
            EngineCalls.DrawLakeFrame(Settings.FPSShow, Settings.TimeShow, Settings.Time12);
        else
            EngineCalls.DrawLakeViews(MonitorViews, Settings.FPSShow, Settings.TimeShow, Settings.Time12);
        return false; // render again at once
    case Configure:
        return true;
    }
    return true;
}

void Timer1Timer(TPreviewHost& host) {
    if (Destroyed || RunMode != Preview || !PreviewLogoLoaded) return;
    // The control panel destroys its preview window when it is done with
    // it; a preview without one would live on unseen.
    if (!host.WindowExists(ParentHandle)) {
        host.Close();
        return;
    }
    host.DrawPreviewLogo(ParentHandle);
}

void FormResize(TFullScreenHost&, int width, int height) {
    if (Destroyed || RunMode != Running) return;
    EngineCalls.DeviceResize(width, height);
}

void FormKeyDown(TFullScreenHost& host) {
    if (Destroyed || RunMode != Running) return;
    host.DestroyAndExit();
}

void FormMouseMove(TFullScreenHost& host) {
    if (Destroyed || RunMode != Running || !Settings.MouseExit) return;
    // The cursor's screen position, not the event's: the event may come
    // from the window appearing under a cursor that never moved.
    int x = 0, y = 0;
    host.GetCursorPos(x, y);
    if (std::abs(StartCursorX - x) >= MouseExitDistance || std::abs(StartCursorY - y) >= MouseExitDistance)
        host.Close();
}

void FormClick(TFullScreenHost& host) {
    if (Destroyed || RunMode != Running || !Settings.MouseExit) return;
    host.Close();
}

void FormDestroy(const TMainWindowHosts& hosts) {
    if (Destroyed) return;
    Destroyed = true;
    switch (RunMode) {
    case Preview:
        if (PreviewLogoLoaded && hosts.Preview) hosts.Preview->FreePreviewLogo();
        PreviewLogoLoaded = false;
        break;
    case Running:
        EngineCalls.DeviceDone();
        if (SoundStarted) ReleaseSound();
        break;
    case Configure:
        if (ParentHandle && hosts.Dialog) hosts.Dialog->EnableWindow(ParentHandle, true);
        break;
    }
}

void ApplyClick(TDialogHost& host) {
    Settings = host.ReadSettings();
    SaveSettings(Settings);
    host.Close();
}

void CancelClick(TDialogHost& host) {
    host.DestroyAndExit();
}

void RestoreDefaultsClick(TDialogHost& host) {
    host.ShowSettings(DefaultSettings());
}

void TimeShowClick(TDialogHost& host) {
    TSettings settings = host.ReadSettings();
    TimeShowChanged(settings);
    host.ShowSettings(settings);
}

void VisitWebsiteClick(TDialogHost& host) {
    host.OpenWebsite(WebsiteAddress);
}

void AboutClick(TDialogHost& host) {
    int left = 0, top = 0;
    CentreOver(host.MainWindowRect(), host.AboutRect(), left, top);
    host.ShowAbout(left, top);
    host.EnableWindow(host.Handle(), false);
}

void AboutButton1Click(TDialogHost& host) {
    AboutFormClose(host);
}

void AboutFormClose(TDialogHost& host) {
    // Enabled first, so that the window system can hand the focus back to it
    // when the about box goes.
    host.EnableWindow(host.Handle(), true);
    host.HideAbout();
}

void CentreOver(const TRect& outer, const TRect& inner, int& left, int& top) {
    top = outer.Top + (outer.Height - inner.Height) / 2;
    left = outer.Left + (outer.Width - inner.Width) / 2;
}

std::int32_t VolumeForLevel(int level) {
    if (level < 0) level = 0;
    if (level > 10) level = 10;
    double attenuation = -1000.0 * std::pow((10 - level) / 10.0, 10);
    return static_cast<std::int32_t>(std::nearbyint(attenuation));
}

void SetVolumes(int effectsLevel, int musicLevel) {
    EngineCalls.SetSoundVolume(-1, VolumeForLevel(effectsLevel));
    EngineCalls.SetMusicVolume(VolumeForLevel(musicLevel));
}
