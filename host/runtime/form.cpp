#include "host/runtime/form.h"

#include <algorithm>
#include <utility>

Form::Form(FormPlatform& platform, const ScreenServices& screen, FormLook look, FormEvents events)
    : platform_(platform), screen_(screen), look_(std::move(look)), events_(std::move(events)) {}

// The timers may already be gone, so they are left alone here.
Form::~Form() = default;

void Form::Load() {
    if (Loaded()) return;
    const PixelSize client{TwipsToPixels(look_.clientWidth, screen_.TwipsPerPixelX()),
                           TwipsToPixels(look_.clientHeight, screen_.TwipsPerPixelY())};
    window_ = platform_.CreateFormWindow(look_, client, *this);
    if (!window_) return;
    visible_ = false;
    shownOnce_ = false;
    for (Timer* timer : timers_) timer->SetActive(true);
    if (events_.load) events_.load();
}

void Form::Show() {
    Load();
    if (!Loaded()) return;
    // The first showing after a load reports the form's size, as a resize would.
    if (!shownOnce_) {
        shownOnce_ = true;
        if (events_.resize) events_.resize();
        if (!Loaded()) return;
    }
    visible_ = true;
    window_->SetVisible(true);
}

void Form::ShowModal() {
    Show();
    if (!Visible()) return;
    platform_.RunEventLoop(Handle(), [this] { return Visible(); });
}

void Form::Hide() {
    if (!Loaded()) return;
    visible_ = false;
    window_->SetVisible(false);
}

bool Form::Unload(UnloadMode mode) {
    if (!Loaded()) return true;
    if (unloading_) return false;
    unloading_ = true;
    bool cancel = false;
    if (events_.queryUnload) events_.queryUnload(cancel, mode);
    if (!cancel && Loaded() && events_.unload) events_.unload(cancel);
    unloading_ = false;
    if (cancel) return !Loaded();
    CloseWindow();
    return true;
}

void Form::CloseWindow() {
    for (Timer* timer : timers_) timer->SetActive(false);
    visible_ = false;
    // Moved out first: destroying the window may report back to this form.
    std::unique_ptr<FormWindow> closing = std::move(window_);
}

WindowHandle Form::Handle() const {
    return Loaded() ? window_->Handle() : 0;
}

NativeWidget* Form::ControlParent() const {
    return Loaded() ? window_->ControlParent() : nullptr;
}

void Form::SetCaption(const std::string& caption) {
    look_.caption = caption;
    if (Loaded()) window_->SetCaption(caption);
}

void Form::Move(double left, double top, double width, double height) {
    if (!Loaded()) return;
    const double x = screen_.TwipsPerPixelX();
    const double y = screen_.TwipsPerPixelY();
    const int32_t pixelLeft = TwipsToPixels(left, x);
    const int32_t pixelTop = TwipsToPixels(top, y);
    window_->Move(PixelRect{pixelLeft, pixelTop, pixelLeft + TwipsToPixels(width, x),
                            pixelTop + TwipsToPixels(height, y)});
}

double Form::Left() const {
    return Loaded() ? window_->Bounds().left * screen_.TwipsPerPixelX() : 0;
}

double Form::Top() const {
    return Loaded() ? window_->Bounds().top * screen_.TwipsPerPixelY() : 0;
}

double Form::Width() const {
    if (!Loaded()) return 0;
    const PixelRect bounds = window_->Bounds();
    return (bounds.right - bounds.left) * screen_.TwipsPerPixelX();
}

double Form::Height() const {
    if (!Loaded()) return 0;
    const PixelRect bounds = window_->Bounds();
    return (bounds.bottom - bounds.top) * screen_.TwipsPerPixelY();
}

double Form::ScaleWidth() const {
    return Loaded() ? window_->ClientSize().width * screen_.TwipsPerPixelX() : 0;
}

double Form::ScaleHeight() const {
    return Loaded() ? window_->ClientSize().height * screen_.TwipsPerPixelY() : 0;
}

void Form::AttachTimer(Timer& timer) {
    if (std::find(timers_.begin(), timers_.end(), &timer) == timers_.end()) {
        timers_.push_back(&timer);
    }
    timer.SetActive(Loaded());
}

void Form::OnCloseRequest(UnloadMode mode) {
    Unload(mode);
}

void Form::OnResized() {
    if (Loaded() && events_.resize) events_.resize();
}

// The window is already gone, so the handlers are told but cannot keep the form.
void Form::OnDestroyedByOthers() {
    if (!Loaded()) return;
    if (!unloading_) {
        unloading_ = true;
        bool cancel = false;
        if (events_.queryUnload) events_.queryUnload(cancel, UnloadMode::OwnerClosing);
        if (Loaded() && events_.unload) events_.unload(cancel);
        unloading_ = false;
    }
    CloseWindow();
}
