#include "host/runtime/x11_top_levels.h"

#include <X11/Xatom.h>

namespace {

// How far below a root child the client is looked for: a frame, a wrapper and the client
// need two levels; one more for frames that nest further.
constexpr int kClientDepth = 3;

int IgnoreError(Display*, XErrorEvent*) {
    return 0;
}

// Windows go at any moment; their errors are expected and dropped. Xlib's handler is global,
// so it is swapped only while this connection is in use, and errors still on their way are
// fetched before it is put back.
class IgnoredErrors {
  public:
    explicit IgnoredErrors(Display* display)
        : display_(display), previous_(XSetErrorHandler(IgnoreError)) {}
    ~IgnoredErrors() {
        if (NextRequest(display_) - 1 != LastKnownRequestProcessed(display_)) {
            XSync(display_, False);
        }
        XSetErrorHandler(previous_);
    }
    IgnoredErrors(const IgnoredErrors&) = delete;
    IgnoredErrors& operator=(const IgnoredErrors&) = delete;

  private:
    Display* display_;
    XErrorHandler previous_;
};

// The property's data when it has the format asked for (8 or 32 bits).
template <typename Item>
std::vector<Item> PropertyItems(Display* display, Window window, Atom property, Atom type,
                                int wantedFormat) {
    Atom actualType = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::vector<Item> items;
    if (XGetWindowProperty(display, window, property, 0, 65536, False, type, &actualType, &format,
                           &count, &after, &data) == Success &&
        data) {
        if (format == wantedFormat) {
            const auto* first = reinterpret_cast<const Item*>(data);
            items.assign(first, first + count);
        }
        XFree(data);
    }
    return items;
}

std::string TextProperty(Display* display, Window window, Atom property, Atom type) {
    const auto bytes = PropertyItems<char>(display, window, property, type, 8);
    return std::string(bytes.begin(), bytes.end());
}

bool HasProperty(Display* display, Window window, Atom property) {
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    const bool read = XGetWindowProperty(display, window, property, 0, 0, False, AnyPropertyType,
                                         &actualType, &format, &count, &after, &data) == Success;
    if (data) XFree(data);
    return read && actualType != None;
}

std::vector<Window> ChildrenOf(Display* display, Window window) {
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    std::vector<Window> found;
    if (XQueryTree(display, window, &root, &parent, &children, &count) && children) {
        found.assign(children, children + count);
        XFree(children);
    }
    return found;
}

}  // namespace

X11TopLevels::X11TopLevels(const char* displayName) : display_(XOpenDisplay(displayName)) {
    if (!display_) return;
    root_ = DefaultRootWindow(display_);
    wmState_ = XInternAtom(display_, "WM_STATE", False);
    clientList_ = XInternAtom(display_, "_NET_CLIENT_LIST", False);
    netWmName_ = XInternAtom(display_, "_NET_WM_NAME", False);
    utf8String_ = XInternAtom(display_, "UTF8_STRING", False);
}

X11TopLevels::~X11TopLevels() {
    if (display_) XCloseDisplay(display_);
}

Window X11TopLevels::FindByTitle(const std::string& title) {
    IgnoredErrors errors(display_);
    ApplyNotifications();
    Refresh();
    for (Window window : Candidates()) {
        const Titles& titles = TitlesOf(window);
        if (titles.netName == title || titles.wmName == title) return window;
    }
    return 0;
}

void X11TopLevels::ApplyNotifications() {
    while (XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        Apply(event);
    }
}

// Structure events come from the window whose children changed (event.xany.window); property
// events from the window itself.
void X11TopLevels::Apply(const XEvent& event) {
    const Window from = event.xany.window;
    switch (event.type) {
        case CreateNotify:
            if (from == root_) {
                branches_[event.xcreatewindow.window].stale = true;
            } else {
                MarkStale(from);
            }
            break;
        case DestroyNotify:
            Forget(event.xdestroywindow.window);
            if (from == root_) {
                DropBranch(event.xdestroywindow.window);
            } else {
                MarkStale(from);
            }
            break;
        case ReparentNotify:
            if (from != root_) {
                MarkStale(from);
            } else if (event.xreparent.parent == root_) {
                branches_[event.xreparent.window].stale = true;
            } else {
                DropBranch(event.xreparent.window);
            }
            break;
        case PropertyNotify:
            if (from == root_) {
                if (event.xproperty.atom == clientList_) listStale_ = true;
            } else if (event.xproperty.atom == wmState_) {
                MarkStale(from);
            } else if (event.xproperty.atom == XA_WM_NAME || event.xproperty.atom == netWmName_) {
                titles_.erase(from);
            }
            break;
        default:
            break;
    }
}

void X11TopLevels::MarkStale(Window walked) {
    const auto top = branchOf_.find(walked);
    if (top == branchOf_.end()) return;
    const auto branch = branches_.find(top->second);
    if (branch != branches_.end()) branch->second.stale = true;
}

void X11TopLevels::DropBranch(Window top) {
    const auto branch = branches_.find(top);
    if (branch == branches_.end()) return;
    Release(top, branch->second);
    branches_.erase(branch);
}

// The windows walked below top are looked at again when the branch is.
void X11TopLevels::Release(Window top, const Branch& branch) {
    for (Window window : branch.walked) {
        // A window moved to another branch belongs to that one now.
        const auto owner = branchOf_.find(window);
        if (owner == branchOf_.end() || owner->second != top) continue;
        branchOf_.erase(owner);
        masks_.erase(window);
    }
}

void X11TopLevels::Forget(Window gone) {
    titles_.erase(gone);
    masks_.erase(gone);
}

void X11TopLevels::Refresh() {
    if (rootStale_) ScanRoot();
    for (auto& [top, branch] : branches_) {
        if (branch.stale) ScanBranch(top, branch);
    }
    if (listStale_) ReadClientList();
}

void X11TopLevels::ScanRoot() {
    // Selected before reading, so that no change falls between the two.
    Watch(root_, SubstructureNotifyMask | PropertyChangeMask);
    branches_.clear();
    branchOf_.clear();
    for (Window top : ChildrenOf(display_, root_)) branches_[top];
    rootStale_ = false;
}

void X11TopLevels::ScanBranch(Window top, Branch& branch) {
    Release(top, branch);
    branch = Branch{};
    branch.stale = false;
    Walk(top, top, 0, branch);
}

void X11TopLevels::Walk(Window top, Window window, int depth, Branch& branch) {
    branch.walked.push_back(window);
    branchOf_[window] = top;
    Watch(window, PropertyChangeMask);
    if (HasProperty(display_, window, wmState_)) {
        branch.clients.push_back(window);
        return;
    }
    if (depth == kClientDepth) return;
    Watch(window, SubstructureNotifyMask);
    for (Window child : ChildrenOf(display_, window)) Walk(top, child, depth + 1, branch);
}

void X11TopLevels::ReadClientList() {
    const auto items = PropertyItems<unsigned long>(display_, root_, clientList_, XA_WINDOW, 32);
    listed_.assign(items.begin(), items.end());
    listStale_ = false;
}

// Clients first, so that a window manager's frame bearing the client's name is not taken for
// the client.
std::vector<Window> X11TopLevels::Candidates() const {
    std::vector<Window> candidates = listed_;
    for (const auto& [top, branch] : branches_) {
        candidates.insert(candidates.end(), branch.clients.begin(), branch.clients.end());
    }
    for (const auto& [top, branch] : branches_) candidates.push_back(top);
    return candidates;
}

const X11TopLevels::Titles& X11TopLevels::TitlesOf(Window window) {
    const auto known = titles_.find(window);
    if (known != titles_.end()) return known->second;
    Watch(window, PropertyChangeMask);
    Titles& titles = titles_[window];
    titles.netName = TextProperty(display_, window, netWmName_, utf8String_);
    titles.wmName = TextProperty(display_, window, XA_WM_NAME, AnyPropertyType);
    return titles;
}

void X11TopLevels::Watch(Window window, long mask) {
    long& selected = masks_[window];
    if ((selected | mask) == selected) return;
    selected |= mask;
    XSelectInput(display_, window, selected);
}
