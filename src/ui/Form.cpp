#include "ui/Form.h"

namespace purgix::ui {

Form::Form(const char* name, const char* caption, int clientWidth, int clientHeight)
    : Container(name, Kind::Form, {0, 0, clientWidth, clientHeight}), caption_(caption), menu_("", "") {
    SetVisible(false);  // shown once its load handler has run
}

void Form::SetCaption(std::string caption) {
    caption_ = std::move(caption);
    Notify(Change::Caption);
}

void Form::SetBackColor(Color c) {
    if (c == backColor_) return;
    backColor_ = c;
    Notify(Change::Colors);
}

void Form::SetPicture(PicturePtr p) {
    picture_ = std::move(p);
    Notify(Change::Picture);
}

void Form::SetIcon(PicturePtr p) {
    icon_ = std::move(p);
    Notify(Change::Icon);
}

void Form::Print(PrintedLine line) {
    printed_.push_back(std::move(line));
    Notify(Change::Drawing);
}

void Form::PaintPicture(PicturePtr picture, int x, int y) {
    drawn_.push_back({x, y, std::move(picture)});
    Notify(Change::Drawing);
}

void Form::SetMousePointer(MousePointer pointer, PicturePtr icon) {
    pointer_ = pointer;
    mouseIcon_ = std::move(icon);
    Notify(Change::Cursor);
}

void Form::PopupMenu(const MenuItem& menu) {
    if (Peer* p = GetPeer()) p->Popup(menu);
}

}  // namespace purgix::ui
