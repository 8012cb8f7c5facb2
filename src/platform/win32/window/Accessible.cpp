// A control's client object for assistive programs: the standard one that
// Windows makes, with the name, description, value, role and states the
// program knows better. Built anew for each request: the facts are fresh.
#include "platform/win32/window/Accessible.h"

#include <oleacc.h>

namespace purgix::win32 {

namespace {

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

HRESULT Text(const std::wstring& text, BSTR* out) {
    if (out == nullptr) return E_INVALIDARG;
    *out = SysAllocString(text.c_str());
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

class Annotated final : public IAccessible {
public:
    Annotated(IAccessible* standard, AccessibleFacts facts, HWND window) : std_(standard), facts_(std::move(facts)), window_(window) {}
    Annotated(const Annotated&) = delete;
    Annotated& operator=(const Annotated&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (out == nullptr) return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == kIAccessible) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        // Handing out the standard object's other interfaces would give this object two identities.
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&refs_);
        if (left == 0) {
            std_->Release();
            delete this;
        }
        return static_cast<ULONG>(left);
    }

    // What the program knows better.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* out) override {
        if (const std::wstring* item = Item(child)) return Text(*item, out);
        return IsSelf(child) && !facts_.name.empty() ? Text(facts_.name, out) : std_->get_accName(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* out) override {
        return IsSelf(child) && !facts_.description.empty() ? Text(facts_.description, out) : std_->get_accDescription(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* out) override {
        return IsSelf(child) && !facts_.value.empty() ? Text(facts_.value, out) : std_->get_accValue(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* out) override {
        const long role = Item(child) != nullptr ? ROLE_SYSTEM_LISTITEM : IsSelf(child) ? facts_.role : 0;
        if (role == 0) return std_->get_accRole(child, out);
        return Number(role, out);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* out) override {
        if (Item(child) != nullptr) {
            const bool chosen = child.lVal - 1 == facts_.selected;
            return Number(STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE | (chosen ? STATE_SYSTEM_SELECTED | STATE_SYSTEM_FOCUSED : 0), out);
        }
        const HRESULT hr = std_->get_accState(child, out);
        if (SUCCEEDED(hr) && IsSelf(child) && out->vt == VT_I4) out->lVal |= facts_.addedState;
        return hr;
    }

    // The rest as the standard object has it.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override { return std_->GetTypeInfoCount(n); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT i, LCID l, ITypeInfo** t) override { return std_->GetTypeInfo(i, l, t); }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID r, LPOLESTR* n, UINT c, LCID l, DISPID* d) override {
        return std_->GetIDsOfNames(r, n, c, l, d);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID d, REFIID r, LCID l, WORD f, DISPPARAMS* p, VARIANT* v, EXCEPINFO* e, UINT* a) override {
        return std_->Invoke(d, r, l, f, p, v, e, a);
    }
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** p) override { return std_->get_accParent(p); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* n) override {
        if (facts_.items.empty()) return std_->get_accChildCount(n);
        if (n == nullptr) return E_POINTER;
        *n = static_cast<long>(facts_.items.size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT c, IDispatch** p) override {
        if (Item(c) == nullptr) return std_->get_accChild(c, p);
        if (p == nullptr) return E_POINTER;
        *p = nullptr;  // a line is an element of the list, not an object of its own
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT c, BSTR* s) override { return std_->get_accHelp(c, s); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* f, VARIANT c, long* t) override { return std_->get_accHelpTopic(f, c, t); }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT c, BSTR* s) override { return std_->get_accKeyboardShortcut(c, s); }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* v) override { return std_->get_accFocus(v); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* v) override { return std_->get_accSelection(v); }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT c, BSTR* s) override { return std_->get_accDefaultAction(c, s); }
    HRESULT STDMETHODCALLTYPE accSelect(long f, VARIANT c) override { return std_->accSelect(f, c); }
    HRESULT STDMETHODCALLTYPE accLocation(long* x, long* y, long* w, long* h, VARIANT c) override {
        if (Item(c) == nullptr) return std_->accLocation(x, y, w, h, c);
        if (x == nullptr || y == nullptr || w == nullptr || h == nullptr) return E_POINTER;
        RECT r{};
        if (SendMessageW(window_, LB_GETITEMRECT, static_cast<WPARAM>(c.lVal - 1), reinterpret_cast<LPARAM>(&r)) == LB_ERR) return E_FAIL;
        MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&r), 2);
        *x = r.left, *y = r.top, *w = r.right - r.left, *h = r.bottom - r.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long d, VARIANT s, VARIANT* e) override { return std_->accNavigate(d, s, e); }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* c) override { return std_->accHitTest(x, y, c); }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT c) override { return std_->accDoDefaultAction(c); }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT c, BSTR s) override { return std_->put_accName(c, s); }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT c, BSTR s) override { return std_->put_accValue(c, s); }

private:
    ~Annotated() = default;
    // The list's line a child id names, if it names one.
    const std::wstring* Item(const VARIANT& child) const {
        if (child.vt != VT_I4 || child.lVal < 1 || static_cast<std::size_t>(child.lVal) > facts_.items.size()) return nullptr;
        return &facts_.items[static_cast<std::size_t>(child.lVal - 1)];
    }
    static HRESULT Number(long value, VARIANT* out) {
        if (out == nullptr) return E_INVALIDARG;
        out->vt = VT_I4;
        out->lVal = value;
        return S_OK;
    }
    LONG refs_ = 1;
    IAccessible* std_;
    AccessibleFacts facts_;
    HWND window_;
};

}  // namespace

LRESULT AnswerGetObject(HWND window, WPARAM wp, LPARAM lp, const AccessibleFacts& facts) {
    if (static_cast<LONG>(lp) != OBJID_CLIENT) return 0;
    IAccessible* standard = nullptr;
    if (FAILED(CreateStdAccessibleObject(window, OBJID_CLIENT, kIAccessible, reinterpret_cast<void**>(&standard)))) return 0;
    auto* annotated = new Annotated(standard, facts, window);
    const LRESULT answer = LresultFromObject(kIAccessible, wp, annotated);
    annotated->Release();  // the answer holds its own reference
    // Refused (no memory, COM not ready): the window's class answers as it would without us.
    return FAILED(static_cast<HRESULT>(answer)) ? 0 : answer;
}

}  // namespace purgix::win32
