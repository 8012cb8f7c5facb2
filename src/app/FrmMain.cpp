#include "app/FrmMain.h"

#include <exception>
#include <utility>

#include "memory/Release.h"

namespace purgix::app {

using ui::Align;
using ui::Color;
using ui::Rect;

namespace {

void Figure(ui::Label& l, Align a, std::optional<Color> back, Color fore = ui::kButtonText, bool bold = false) {
    l.alignment = a;
    l.backColor = back;
    l.foreColor = fore;
    l.font.bold = bold;
}

}  // namespace

FrmMain::FrmMain(platform::Platform& platform, ui::WindowFactory& windows)
    : form("FrmMain", kCaption, 480, 210),
      PicTable("PicTable", {56, 80, 337, 97}, ui::kWindowBackground),
      Label5("Label5", {120, 8, 225, 17}, "Total          Available        Percent"),
      Line2("Line2", 440, 24, 0, 24),
      Line4("Line4", 96, 0, 96, 104),
      lblTotPhys("lblTotPhys", {96, 32, 73, 17}, "Tot"),
      lblAvailPhys("lblAvailPhys", {176, 32, 73, 17}, "Use"),
      lblPercPhysical("lblPercPhysical", {256, 32, 73, 17}, "Per"),
      Line1("Line1", 256, 0, 256, 104),
      Line3("Line3", 176, 0, 176, 104),
      lblTotalPageFile("lblTotalPageFile", {96, 56, 73, 17}, "a"),
      lblTotalVirtual("lblTotalVirtual", {96, 80, 73, 17}, "a"),
      lblAvailVirtual("lblAvailVirtual", {176, 80, 73, 17}, "Use"),
      lblAvailPageFile("lblAvailPageFile", {176, 56, 73, 17}, "Use"),
      lblPercVirtual("lblPercVirtual", {256, 80, 73, 17}, "Per"),
      lblPercPage("lblPercPage", {256, 56, 73, 17}, "Per"),
      Line5("Line5", 432, 48, -8, 48),
      Line6("Line6", 432, 72, -8, 72),
      Label4("Label4", {0, 80, 89, 17}, "Virtual RAM"),
      Label3("Label3", {0, 56, 89, 17}, "Page File"),
      Label2("Label2", {0, 32, 89, 17}, "Physical RAM"),
      ShpColumn("ShpColumn", {-8, -8, 449, 33}, ui::kAppWorkspace),
      PicChart("PicChart", {64, 88, 313, 89}, ui::kButtonFace),
      PicGraph("PicGraph", {32, 16, 273, 65}, ui::kWindowBackground),
      LineChart{ui::Line("LineChart(0)", 0, 16, 280, 16), ui::Line("LineChart(1)", 0, 32, 280, 32),
                ui::Line("LineChart(2)", 0, 48, 280, 48)},
      PicGrpPro("PicGrpPro", {8, 16, 17, 65}, ui::kWindowBackground),
      lblGraphPer("lblGraphPer", {0, 0, 281, 17}, "Label11"),
      Check2("Check2", {64, 120, 13, 13}),
      Check1("Check1", {64, 96, 13, 13}),
      File1("File1", {304, 0, 33, 32}, "*.ini",
            [&files = platform.files](const std::string& folder, const std::string& pattern) { return files.ListFiles(folder, pattern); }),
      Text1("Text1", {184, 96, 33, 17}, "5"),
      VScroll2("VScroll2", {216, 120, 17, 17}, 1, 40, 15),
      VScroll1("VScroll1", {216, 96, 17, 17}, 1, 20, 5),
      VScroll3("VScroll3", {216, 144, 17, 17}, memory::kMinReleasePercent, memory::kMaxReleasePercent, 10, 5),
      PicTray("PicTray", {336, 0, 33, 33}, ui::kButtonFace),
      Timer1("Timer1", 500, true),
      Timer2("Timer2", 1000, true),
      Text3("Text3", {184, 144, 33, 17}, "40%"),
      Text2("Text2", {184, 120, 33, 17}, "15%"),
      Check3("Check3", {256, 120, 13, 13}),
      Check4("Check4", {256, 96, 13, 13}),
      Label6("Label6", {280, 96, 113, 17}, "Start with Windows"),
      Label1("Label1", {280, 120, 89, 17}, "Start minimized"),
      ImgCUR("ImgCUR", {272, 0, 32, 32}),
      ImgWebLink("ImgWebLink", {8, 8, 113, 49}),
      Label8("Label8", {72, 144, 89, 17}, "Release percent"),
      Label9("Label9", {88, 120, 65, 17}, "Less than"),
      Label10("Label10", {88, 96, 73, 17}, "Interval minute"),
      ImgLstView("ImgLstView", {24, 88, 9, 89}),
      ImgLst{ui::Image("ImgLst(0)", {424, 0, 11, 89}), ui::Image("ImgLst(1)", {440, 0, 9, 36}),
             ui::Image("ImgLst(2)", {456, 0, 11, 51})},
      ImgOptimize("ImgOptimize", {424, 128, 41, 41}),
      ImgTab("ImgTab", {424, 72, 41, 41}),
      platform_(platform),
      windowFactory_(windows) {
    Figure(Label5, Align::Left, std::nullopt, ui::kWindowBackground, true);
    Figure(lblTotPhys, Align::Center, ui::kWhite);
    Figure(lblAvailPhys, Align::Center, ui::kWhite);
    Figure(lblPercPhysical, Align::Center, std::nullopt, ui::kButtonText, true);
    for (ui::Label* l : {&lblTotalPageFile, &lblTotalVirtual, &lblAvailVirtual, &lblAvailPageFile})
        Figure(*l, Align::Center, ui::kWhite, ui::kWindowText);
    for (ui::Label* l : {&lblPercVirtual, &lblPercPage}) Figure(*l, Align::Center, ui::kHighlightText, ui::kWindowText);
    for (ui::Label* l : {&Label4, &Label3, &Label2}) Figure(*l, Align::Right, std::nullopt, ui::kWindowText);

    for (ui::Control* c : std::initializer_list<ui::Control*>{&File1, &PicTray, &ImgCUR}) c->SetVisible(false);
    for (ui::Image& img : ImgLst) img.SetVisible(false);

    auto& pictures = platform.pictures;
    form.SetIcon(pictures.Resource(platform::ResourcePicture::ProgramIcon));
    PicTray.SetPicture(pictures.Resource(platform::ResourcePicture::TrayIcon));
    PicTray.scaleMode = ui::ScaleMode::Twip;
    ImgCUR.SetPicture(pictures.Resource(platform::ResourcePicture::HandCursor));
    ImgLst[0].SetPicture(pictures.Resource(platform::ResourcePicture::Indicator0));
    ImgLst[1].SetPicture(pictures.Resource(platform::ResourcePicture::Indicator1));
    ImgLst[2].SetPicture(pictures.Resource(platform::ResourcePicture::Indicator2));
    // The release and page areas carry the hand from the start; the logo area gets it at start-up.
    ImgOptimize.SetMouseIcon(ImgCUR.Picture());
    ImgTab.SetMouseIcon(ImgCUR.Picture());
    ImgWebLink.SetMouseIcon(nullptr);

    Stack();
    DescribeForKeyboardAndReaders();
    BuildMenus();
    levels_.reserve(static_cast<std::size_t>(PicGraph.Bounds().width) + 1);  // a tick stays off the heap
    form.Timers() = {&Timer1, &Timer2, &TrayTimer};
    WireRelease();
    WireOptions();
    WireSkins();
    WireShell();
}

// What the keyboard reaches and screen readers say, the window's look aside.
void FrmMain::DescribeForKeyboardAndReaders() {
    const auto area = [](ui::Image& img, int tab, const char* name, const char* description) {
        img.tabIndex = tab;
        img.accessibleName = name;
        img.accessibleDescription = description;
    };
    area(ImgOptimize, 0, "Optimize", "Releases physical memory now");
    area(ImgTab, 1, "Next page", "Shows the next page: the memory table, the chart, the options");
    area(ImgWebLink, 2, "Quenlor on the web", "Opens Quenlor's home page in your web browser");
    // The options by rows: each check box with its spinner, then the release percent and the start options.
    const struct {
        ui::Label& caption;
        char key;
        ui::Control& box;
        ui::Control* spinner;
        const char* description;
    } options[] = {{Label10, 'I', Check1, &VScroll1, "Releases memory every set number of minutes"},
                   {Label9, 'L', Check2, &VScroll2, "Releases memory when less than this share of physical memory is available"},
                   {Label8, 'R', VScroll3, nullptr, "The size of one release, in percent"},
                   {Label6, 'W', Check4, nullptr, "Starts Purgix when you log on to Windows"},
                   {Label1, 'M', Check3, nullptr, "Starts Purgix with only its icon in the notification area"}};
    int tab = 3;
    for (const auto& o : options) {
        o.caption.accessKey = o.key;
        o.caption.labelFor = &o.box;
        for (ui::Control* c : {&o.box, o.spinner}) {
            if (c == nullptr) continue;
            c->tabIndex = tab++;
            c->accessibleName = o.caption.Caption();
            c->accessibleDescription = o.description;
        }
    }
    // Each figure is read with its row and column: "Physical RAM, Available: 24,277,772".
    const std::pair<ui::Label*, const char*> figures[] = {
        {&lblTotPhys, "Physical RAM, Total"},       {&lblAvailPhys, "Physical RAM, Available"},   {&lblPercPhysical, "Physical RAM, Percent"},
        {&lblTotalPageFile, "Page File, Total"},    {&lblAvailPageFile, "Page File, Available"},  {&lblPercPage, "Page File, Percent"},
        {&lblTotalVirtual, "Virtual RAM, Total"},   {&lblAvailVirtual, "Virtual RAM, Available"}, {&lblPercVirtual, "Virtual RAM, Percent"}};
    for (const auto& [label, name] : figures) label->accessibleName = name;
}

// Containers list their children front to back, in the order of the window design.
void FrmMain::Stack() {
    for (ui::Control* c : std::initializer_list<ui::Control*>{
             &Label5, &Line2, &Line4, &lblTotPhys, &lblAvailPhys, &lblPercPhysical, &Line1, &Line3, &lblTotalPageFile,
             &lblTotalVirtual, &lblAvailVirtual, &lblAvailPageFile, &lblPercVirtual, &lblPercPage, &Line5, &Line6, &Label4,
             &Label3, &Label2, &ShpColumn})
        PicTable.Add(*c);
    for (ui::Line& l : LineChart) PicGraph.Add(l);
    PicChart.Add(PicGraph);
    PicChart.Add(PicGrpPro);
    PicChart.Add(lblGraphPer);
    for (ui::Control* c : std::initializer_list<ui::Control*>{
             &PicTable, &PicChart, &Check2, &Check1, &File1, &Text1, &VScroll2, &VScroll1, &VScroll3, &PicTray, &Text3, &Text2,
             &Check3, &Check4, &Label6, &Label1, &ImgCUR, &ImgWebLink, &Label8, &Label9, &Label10, &ImgLstView, &ImgLst[2],
             &ImgLst[1], &ImgLst[0], &ImgOptimize, &ImgTab})
        form.Add(*c);
}

void FrmMain::BuildMenus() {
    ui::MenuItem& bar = form.Menu();
    mFile = &bar.Add("mFile", "&File");
    mOpt = &mFile->Add("mOpt", "&Optimize  ", ui::Shortcut::F9);
    mHide = &mFile->Add("mHide", "&Hide", ui::Shortcut::CtrlH);
    mReleaseLog = &mFile->Add("mReleaseLog", "Release &log...");
    mSp1 = &mFile->Add("mSp1", "-");
    mExit = &mFile->Add("mExit", "&Exit");

    mSetup = &bar.Add("mSetup", "&Setup");
    mStayOnTop = &mSetup->Add("mStayOnTop", "Stay &On top");
    mTrayLoad = &mSetup->Add("mTrayLoad", "Load in tray &icon");
    mNotify = &mSetup->Add("mNotify", "&Notify after releases");
    mHotKey = &mSetup->Add("mHotKey", "&F9 in any program");
    mHotKey->SetChecked(true);  // the hot key works anywhere until the user says otherwise
    mSkin = &mSetup->Add("mSkin", "S&kins ...");
    mSSkin.push_back(&mSkin->Add("mSSkin(0)", "Skin1"));
    mSp4 = &mSetup->Add("mSp4", "-");
    mDloadSkin = &mSetup->Add("mDloadSkin", "&Download more skins...");

    mHelp = &bar.Add("mHelp", "&Help");
    mContents = &mHelp->Add("mContents", "&Contents");
    mWeb = &mHelp->Add("mWeb", "Quenlor on the &web");
    mSp2 = &mHelp->Add("mSp2", "-");
    mAbout = &mHelp->Add("mAbout", "&About");

    mPOP = &bar.Add("mPOP", "mPOP");
    mPOP->SetVisible(false);
    mStPOP = &mPOP->Add("mStPOP", "St");
    mSpPOP1 = &mPOP->Add("mSpPOP1", "-");
    mOptPOP = &mPOP->Add("mOptPOP", "&Optimize      F9");
    mShowPOP = &mPOP->Add("mShowPOP", "&Show");
    mSpPOP2 = &mPOP->Add("mSpPOP2", "-");
    mWebPOP = &mPOP->Add("mWebPOP", "Quenlor on the &web");
    mSpPOP3 = &mPOP->Add("mSpPOP3", "-");
    mExitPOP = &mPOP->Add("mExitPOP", "&Exit");
}

// A hidden window is the usual state of a tray program: its tick keeps the
// figures, the graph's history and the level in memory, and touches no
// control of the window (only the pop-up's status line, when its text
// changes). Showing the window brings everything up at once.
void FrmMain::RefreshMEM() {
    platform_.memory.GlobalMemoryStatus(record_);
    memory::DeriveFigures(record_, platform_.locale.Separators(), figures_);
    mStPOP->SetCaption(figures_.popupStatus.View());

    graphX_ += 1;
    if (PicGraph.Bounds().width < graphX_) {
        graphX_ = 0;
        graphCleared_ = true;  // by the time it shows, every column before this one is gone
        levels_.clear();
    }
    levels_.push_back(figures_.availFraction);
    sampled_ = true;
    if (mTrayLoad->Checked()) ShowTrayLoad();  // the shell hears of it only when the figure moves
    if (form.Visible()) ShowFigures();
}

void FrmMain::ShowFigures() {
    if (!sampled_) return;  // the design's captions stay until the first sample
    lblTotalPageFile.SetCaption(figures_.totalPageFileText.View());
    lblTotalVirtual.SetCaption(figures_.totalVirtualText.View());
    lblTotPhys.SetCaption(figures_.totalPhysText.View());
    lblAvailPageFile.SetCaption(figures_.availPageFileText.View());
    lblAvailPhys.SetCaption(figures_.availPhysText.View());
    lblAvailVirtual.SetCaption(figures_.availVirtualText.View());
    lblPercPage.SetCaption(figures_.availPageFilePercentText.View());
    lblPercVirtual.SetCaption(figures_.availVirtualPercentText.View());
    lblPercPhysical.SetCaption(figures_.availPhysPercentText.View());
    lblGraphPer.SetCaption(figures_.graphCaption.View());

    // The graph's columns not yet drawn end at graphX_, one a sample.
    if (std::exchange(graphCleared_, false)) PicGraph.Cls();
    const double graphH = PicGraph.Bounds().height;
    const int first = graphX_ + 1 - static_cast<int>(levels_.size());
    for (std::size_t i = 0; i < levels_.size(); ++i)
        PicGraph.VerticalLine(first + static_cast<int>(i), graphH - levels_[i] * graphH, graphH, columnColor_);

    // The bar cleared and drawn anew, as two boxes that together cover it:
    // pixels that keep their colour are not touched, so a level that did not
    // move repaints nothing.
    const double f = levels_.back();
    levels_.clear();
    const double barW = PicGrpPro.Bounds().width;
    const double barH = PicGrpPro.Bounds().height;
    PicGrpPro.FilledBox(0, 0, barW, barH - f * barH, PicGrpPro.BackColor());
    PicGrpPro.FilledBox(0, barH - f * barH, barW, barH, columnColor_);
}

}  // namespace purgix::app
