#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "about/FrmAbout.h"
#include "app/FrmReleases.h"
#include "memory/MemoryFigures.h"
#include "memory/ReleaseLog.h"
#include "memory/ThresholdWait.h"
#include "platform/Platform.h"
#include "settings/Registry.h"
#include "settings/Settings.h"
#include "settings/StartWithWindows.h"
#include "skins/ColorNumber.h"
#include "tray/CTray.h"
#include "ui/Controls.h"
#include "ui/Form.h"
#include "ui/Menu.h"
#include "ui/PictureBox.h"

namespace purgix::app {

inline constexpr const char* kCaption = "--- Zarvex RAM Purgix 2.00 ---";
inline constexpr const char* kAppTitle = "Purgix";

// The main window: every control of the window design, its menus, timers and
// the behaviour behind them. Portable: the platform comes in through the
// constructor and the native window is bound from outside.
class FrmMain {
public:
    // Windows for forms opened later (the About window) come from `windows`.
    FrmMain(platform::Platform& platform, ui::WindowFactory& windows);
    FrmMain(const FrmMain&) = delete;
    FrmMain& operator=(const FrmMain&) = delete;

    // Start-up: run once the native window exists, before it is shown.
    void Load();
    // Shutdown: runs when the window is closed, before it goes. A release that
    // is filling its block is stopped first.
    void Form_Unload();
    // Another start asks this copy to show itself: false once it is closing.
    bool ShowRequested();

    // Samples memory and brings every figure, the status line, the graph and
    // the level bar up to date; a hidden window's only when it shows again.
    void RefreshMEM();

    // Every release, by the user or automatic, goes through here: a block of
    // two bytes for each character of the release percent of physical memory,
    // taken, written through and given back. Reports its own failure; one
    // that ends goes into the log (with what started it) and, when asked
    // for, into a notice.
    void ReleaseMemory(memory::ReleaseCause cause);
    // True while the key is down (bit 15 of the asynchronous key state), system-wide.
    bool IsKeyDown(int virtualKey);

    void Timer1_Timer();
    void Timer2_Timer();
    void ImgOptimize_Click();
    void mOpt_Click();
    void mOptPOP_Click();

    // This run's releases, newest first; the log window reads them.
    memory::ReleaseLog& Releases() { return releaseLog_; }
    const memory::ReleaseLog& Releases() const { return releaseLog_; }
    const memory::ThresholdWait& ThresholdHold() const { return thresholdWait_; }
    // File > Release log: the log's window, one at a time; it follows the log while open.
    void ShowReleaseLog();
    FrmReleases* ReleasesWindow() { return releases_ && !releases_->Unloaded() ? releases_.get() : nullptr; }
    // The Setup menu's three switches beyond the window's options.
    void mTrayLoad_Click();
    void mNotify_Click();
    void mHotKey_Click();

    std::int32_t IntervalSeconds() const { return intervalSeconds_; }
    std::int64_t ReleaseSize() const { return releaseSize_; }

    // Page switching and the options page.
    void ImgTab_Click();
    void VScroll1_Change();
    void VScroll2_Change();
    void VScroll3_Change();
    std::int32_t PageIndex() const { return pageIndex_; }

    // The tray icon's two buttons.
    void NewTray_LButtonDown();
    void NewTray_RButtonDown();
    // Shows the tray icon, offering it again every 2 s for a minute while the notification area refuses it.
    void ShowTrayIcon();
    void TrayTimer_Timer();

    // Window commands, help, links and the About window.
    void mHide_Click();
    void mShowPOP_Click();
    void mExit_Click();
    void mStayOnTop_Click();
    void mContents_Click();
    void HomePage();
    void mAbout_Click();
    about::FrmAbout* About() { return about_ && !about_->Unloaded() ? about_.get() : nullptr; }

    // Skins: the list's click applies the selected skin.
    void File1_Click();
    void mSSkin_Click(int index);
    void mDloadSkin_Click();

    // The stay-on-top tick as it was before the last toggle (0 or -1); start-up only reads it.
    std::int16_t strNotAlwaysOnTop = 0;

    std::int32_t GraphX() const { return graphX_; }
    ui::Color ColumnColor() const { return columnColor_; }
    void SetColumnColor(ui::Color c) { columnColor_ = c; }

    // The window and its controls, named as the window design names them.
    ui::Form form;
    ui::PictureBox PicTable;
    ui::Label Label5;
    ui::Line Line2, Line4;
    ui::Label lblTotPhys, lblAvailPhys, lblPercPhysical;
    ui::Line Line1, Line3;
    ui::Label lblTotalPageFile, lblTotalVirtual, lblAvailVirtual, lblAvailPageFile, lblPercVirtual, lblPercPage;
    ui::Line Line5, Line6;
    ui::Label Label4, Label3, Label2;
    ui::Shape ShpColumn;
    ui::PictureBox PicChart;
    ui::PictureBox PicGraph;
    std::array<ui::Line, 3> LineChart;
    ui::PictureBox PicGrpPro;
    ui::Label lblGraphPer;
    ui::CheckBox Check2, Check1;
    ui::FileListBox File1;
    ui::TextBox Text1;
    ui::VScrollBar VScroll2, VScroll1, VScroll3;
    ui::PictureBox PicTray;
    ui::Timer Timer1, Timer2;
    // Offers the tray icon again while the notification area refuses it (the taskbar still starting at log-on).
    ui::Timer TrayTimer{"TrayTimer", kTrayRetryMs, false};
    static constexpr unsigned kTrayRetryMs = 2000;
    static constexpr int kTrayRetries = 30;  // a minute
    ui::TextBox Text3, Text2;
    ui::CheckBox Check3, Check4;
    ui::Label Label6, Label1;
    ui::Image ImgCUR, ImgWebLink;
    ui::Label Label8, Label9, Label10;
    ui::Image ImgLstView;
    std::array<ui::Image, 3> ImgLst;
    ui::Image ImgOptimize, ImgTab;

    // Menus (owned by the form's menu bar).
    ui::MenuItem *mFile, *mOpt, *mHide, *mReleaseLog, *mSp1, *mExit;
    ui::MenuItem *mSetup, *mStayOnTop, *mTrayLoad, *mNotify, *mHotKey, *mSkin, *mSp4, *mDloadSkin;
    std::vector<ui::MenuItem*> mSSkin;
    ui::MenuItem *mHelp, *mContents, *mWeb, *mSp2, *mAbout;
    ui::MenuItem *mPOP, *mStPOP, *mSpPOP1, *mOptPOP, *mShowPOP, *mSpPOP2, *mWebPOP, *mSpPOP3, *mExitPOP;

    // The tray icon, bound to PicTray: declared after it, so it goes first.
    std::unique_ptr<tray::CTray> NewTray;

private:
    void BuildMenus();
    void DescribeForKeyboardAndReaders();
    // Every figure, the graph's columns since they were last drawn, and the level bar, onto the window.
    void ShowFigures();
    // Shows the window with its figures up to date.
    void ShowWindow();
    void Stack();
    void WireOptions();
    // Start-up steps over the settings store and the Run value; each throws on a failure.
    void LoadOptions();
    void LoadSwitches();
    // The load in the icon while asked for, the picture otherwise.
    void ShowTrayLoad();
    void LoadSpinner(ui::VScrollBar& scroll, const char* key, int def);
    void ShowSpinnerValues();
    void HideIfMinimized();
    void ReadStartWithWindows();
    void RestoreStayOnTop();
    std::string Setting(const char* key, const char* def);
    void SaveSetting(const char* key, const std::string& value);
    void WireRelease();
    void WireSkins();
    void WireShell();
    void SaveOptions();
    void SaveStartWithWindows();
    void LoadSkins();
    void ApplySkin();
    void SaveSkin();
    static std::string MenuCaption(std::string_view fileName);
    static std::string InFolder(const std::string& folder, const std::string& name);
    std::string UserConfigPath(bool create);
    std::string ConfigPathToRead();

    platform::Platform& platform_;
    ui::WindowFactory& windowFactory_;
    platform::MemoryStatus record_;
    memory::MemoryFigures figures_;
    std::int32_t graphX_ = 0;
    // The levels sampled since the graph was last drawn (one column each, ending at graphX_),
    // and whether the graph wrapped round meanwhile.
    std::vector<double> levels_;
    bool graphCleared_ = false;
    bool sampled_ = false;
    // The current skin's colours (0 until one is applied); the column colour draws the graph.
    ui::Color windowColor_ = 0;
    ui::Color chartColor_ = 0;
    ui::Color columnColor_ = ui::kBlack;

    std::string exeName_ = settings::ExecutableName(platform_.files.ModulePath());
    std::string programFolder_ = settings::ProgramFolder(platform_.files.ModulePath());
    settings::Registry registry_{platform_, kAppTitle};
    settings::StartWithWindows startEntry_{registry_, kAppTitle, settings::StartCommand(programFolder_, kAppTitle)};
    std::int32_t pageIndex_ = 0;
    bool startHidden_ = false;
    std::int32_t intervalSeconds_ = 0;
    std::int64_t releaseSize_ = 0;
    bool releasing_ = false;
    // Available memory as the last release that ended left it, in the threshold test's percent.
    double releasedTo_ = 0;
    memory::ReleaseLog releaseLog_;
    memory::ThresholdWait thresholdWait_;
    bool f9Down_ = false;  // F9 was down at the last poll, or its press was answered by the menu
    bool closing_ = false;       // the shutdown has begun
    bool skinsReached_ = false;  // start-up got as far as the skin list
    int trayRetries_ = 0;        // refused offers of the tray icon since it was last shown
    std::unique_ptr<about::FrmAbout> about_;
    std::unique_ptr<ui::NativeWindow> aboutWindow_;
    std::unique_ptr<FrmReleases> releases_;
    std::unique_ptr<ui::NativeWindow> releasesWindow_;
    std::vector<std::string> ReleaseLines() const;
};

}  // namespace purgix::app
