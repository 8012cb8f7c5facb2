#pragma once
// A form or a picture box: a window of our own class that paints its
// background, drawing and windowless controls, and reflects its children's
// notifications back to their peers.
#include <windows.h>

#include <cstdint>
#include <vector>

#include "platform/win32/window/ControlPeer.h"
#include "ui/PictureBox.h"

namespace purgix::win32 {

class ContainerPeer : public ControlPeer {
public:
    using ControlPeer::ControlPeer;
    ui::Container& Model() const { return static_cast<ui::Container&>(control); }
    // Makes the peers and windows of the children, stacked as the model lists them.
    void CreateChildren();
    // The whole client area as the screen shows it, child windows aside.
    void PaintAll(HDC dc);
    virtual LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);

protected:
    virtual void PaintBackground(HDC dc) = 0;
    // The pointer this container asks for over its own client area; nullptr for the class arrow.
    virtual HCURSOR ClientCursor() const { return nullptr; }
    LRESULT OnPaint();
    // Paints a client rectangle of the container onto a DC of its window.
    void PaintArea(HDC dc, const RECT& dirty);
    LRESULT OnCtlColor(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT OnCommand(WPARAM wp, LPARAM lp);
    LRESULT OnVScroll(WPARAM wp, LPARAM lp);
    LRESULT OnDrawItem(LPARAM lp);
    LRESULT OnMouseMove(WPARAM wp, LPARAM lp);
    LRESULT OnButtonDown(LPARAM lp);
    LRESULT OnButtonUp(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT OnSetCursor(WPARAM wp, LPARAM lp);

private:
    // A client point, in the container's own scale (design pixels or twips).
    double Scaled(int pixels) const;
    // The image under a client point (device pixels).
    ui::Image* ImageAt(int x, int y) const;
    ui::Image* pressed_ = nullptr;
};

class PictureBoxPeer : public ContainerPeer {
public:
    using ContainerPeer::ContainerPeer;
    void Create(HWND parent, int id) override;
    void Rescale() override;
    void Drawn(const ui::Rect& r) override;

private:
    void SyncOwn(ui::Change what) override;
    void PaintBackground(HDC dc) override;
    // The drawing's raster at the screen's density: lines a design pixel wide come out sharp at every scale.
    void SetRasterScale();
    std::vector<std::uint32_t> pixels_;  // the drawing as the screen wants it
};

// Invalidates a container window together with the child windows that paint its picture.
void Redraw(HWND container);

}  // namespace purgix::win32
