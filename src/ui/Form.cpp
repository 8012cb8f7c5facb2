#include "ui/Form.h"

namespace purgix::ui {

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

}  // namespace purgix::ui
