// The program as a whole: start-up and shutdown in their fixed order, the tray
// icon and its two buttons, the window commands of the menus, help, the home
// page and the About window.
#include <exception>
#include <string>

#include "app/FrmMain.h"
#include "settings/Addresses.h"

namespace purgix::app {

void FrmMain::WireShell() {
    mHide->Click = [this] { mHide_Click(); };
    mShowPOP->Click = [this] { mShowPOP_Click(); };
    mExit->Click = [this] { mExit_Click(); };
    mExitPOP->Click = [this] { mExit_Click(); };
    mStayOnTop->Click = [this] { mStayOnTop_Click(); };
    mContents->Click = [this] { mContents_Click(); };
    mWeb->Click = [this] { HomePage(); };
    mWebPOP->Click = [this] { HomePage(); };
    ImgWebLink.Click = [this] { HomePage(); };
    mAbout->Click = [this] { mAbout_Click(); };
    form.Unload = [this] { Form_Unload(); };
    form.ShowRequested = [this] { return ShowRequested(); };
    // Explorer restarted: its new notification area starts empty.
    form.TaskbarCreated = [this] {
        if (NewTray) ShowTrayIcon();
    };
    TrayTimer.Tick = [this] { TrayTimer_Timer(); };
    // The icon again, drawn for the notification area's density.
    form.ScaleChanged = [this] {
        if (NewTray) NewTray->ModifyIcon();
    };
}

// Start-up: one trap over every step; the first failure ends it silently and
// the program runs on with what the earlier steps did.
void FrmMain::Load() {
    try {
        NewTray = std::make_unique<tray::CTray>(platform_.tray, platform_.diagnostics);
        NewTray->LButtonDown = [this] { NewTray_LButtonDown(); };
        NewTray->RButtonDown = [this] { NewTray_RButtonDown(); };
        NewTray->TipText(form.Caption());
        NewTray->PicBox(PicTray);
        ShowTrayIcon();
        LoadSwitches();
        LoadOptions();
        HideIfMinimized();
        ReadStartWithWindows();
        RestoreStayOnTop();
        ImgOptimize.SetMouseIcon(ImgCUR.Picture());
        ImgTab.SetMouseIcon(ImgCUR.Picture());
        ImgWebLink.SetMouseIcon(ImgCUR.Picture());
        ImgLstView.SetPicture(ImgLst[0].Picture());
        LoadSkins();
    } catch (const std::exception& e) {
        // A failed step ends start-up without a word to the user; the program runs on.
        platform_.diagnostics.Trace("start-up", e.what());
    }
    ShowSpinnerValues();
    if (!startHidden_) ShowWindow();
}

void FrmMain::ShowWindow() {
    ShowFigures();
    form.SetVisible(true);
}

// Shutdown, in order: the options, the Run value, the skin, the tray icon. The
// window then goes and the program ends.
void FrmMain::Form_Unload() {
    closing_ = true;
    // Windows ends a program that holds the end of the session for more than a
    // few seconds: a release in progress gives way at once.
    if (releasing_) platform_.blocks.StopFill();
    SaveOptions();
    SaveStartWithWindows();
    // A start-up that stopped early never read the saved skin: the choice stays as it is.
    if (skinsReached_) SaveSkin();
    TrayTimer.SetEnabled(false);
    if (NewTray) NewTray->DeleteIcon();
}

void FrmMain::ShowTrayIcon() {
    trayRetries_ = 0;
    TrayTimer.SetEnabled(!NewTray->ShowIcon());
}

void FrmMain::TrayTimer_Timer() {
    if (closing_ || NewTray->ShowIcon()) {
        TrayTimer.SetEnabled(false);
    } else if (++trayRetries_ >= kTrayRetries) {
        TrayTimer.SetEnabled(false);
        platform_.diagnostics.Trace("tray icon", "still refused after a minute: the program runs on without it");
    }
}

bool FrmMain::ShowRequested() {
    if (closing_) return false;
    mShowPOP_Click();
    return true;
}

void FrmMain::NewTray_LButtonDown() { mShowPOP_Click(); }

void FrmMain::NewTray_RButtonDown() { form.PopupMenu(*mPOP); }

void FrmMain::mHide_Click() { form.SetVisible(false); }

void FrmMain::mShowPOP_Click() {
    ShowWindow();
    form.ZOrder();
}

void FrmMain::mExit_Click() { form.Close(); }

void FrmMain::mStayOnTop_Click() {
    strNotAlwaysOnTop = mStayOnTop->Checked() ? -1 : 0;
    mStayOnTop->SetChecked(!mStayOnTop->Checked());
    platform_.zOrder.SetWindowPos(form.Handle(), strNotAlwaysOnTop - 1, 0, 0, 0, 0, platform::kSwpNoSizeNoMove);
}

void FrmMain::mContents_Click() {
    std::string file = InFolder(programFolder_, "Help.chm");
    if (file.find(' ') != std::string::npos) file = "\"" + file + "\"";
    platform::RunQuietly(platform_, "help", "HH.exe " + file, platform::kSwShowMinimized);
}

void FrmMain::HomePage() { platform::RunQuietly(platform_, "home page", std::string("explorer.exe ") + settings::kHomePage, platform::kSwHide); }

// One About window at a time: a second "About" brings the open one forward.
void FrmMain::mAbout_Click() {
    if (about_ && !about_->Unloaded()) {
        about_->form.ZOrder();
        return;
    }
    aboutWindow_.reset();
    about_ = std::make_unique<about::FrmAbout>(platform_, kAppTitle, form.Icon(), ImgCUR.Picture());
    aboutWindow_ = windowFactory_.CreateFormWindow(about_->form);
    about_->Form_Load();
    about_->form.SetVisible(true);
}

}  // namespace purgix::app
