// The top-level client windows of an X display and their titles, as X11 tools find them: the
// window manager's _NET_CLIENT_LIST, the windows with WM_STATE below each of the root's
// children (a frame may hold a wrapper that holds the client), and the root's children
// themselves (windows never mapped, a server without a window manager).
//
// The windows and titles are read once and then kept up to date from the notifications the
// server sends on a connection of their own, so a look on a busy desktop costs no round trip
// unless something changed.
#pragma once

#include <X11/Xlib.h>

#include <map>
#include <string>
#include <vector>

class X11TopLevels {
  public:
    // Opens its own connection to the display named; Connected() says whether it did.
    explicit X11TopLevels(const char* displayName);
    ~X11TopLevels();
    X11TopLevels(const X11TopLevels&) = delete;
    X11TopLevels& operator=(const X11TopLevels&) = delete;

    bool Connected() const { return display_ != nullptr; }
    // A client or root child whose _NET_WM_NAME or WM_NAME is title; 0 when there is none.
    Window FindByTitle(const std::string& title);

  private:
    // A root child and what was found below it.
    struct Branch {
        bool stale = true;
        std::vector<Window> walked;
        std::vector<Window> clients;
    };
    struct Titles {
        std::string netName;
        std::string wmName;
    };

    void ApplyNotifications();
    void Apply(const XEvent& event);
    void MarkStale(Window walked);
    void DropBranch(Window top);
    void Release(Window top, const Branch& branch);
    void Forget(Window gone);
    void Refresh();
    void ScanRoot();
    void ScanBranch(Window top, Branch& branch);
    void Walk(Window top, Window window, int depth, Branch& branch);
    void ReadClientList();
    std::vector<Window> Candidates() const;
    const Titles& TitlesOf(Window window);
    void Watch(Window window, long mask);

    Display* display_ = nullptr;
    Window root_ = 0;
    Atom wmState_ = 0;
    Atom clientList_ = 0;
    Atom netWmName_ = 0;
    Atom utf8String_ = 0;
    bool rootStale_ = true;
    bool listStale_ = true;
    std::map<Window, Branch> branches_;  // by root child
    std::map<Window, Window> branchOf_;  // each walked window's root child
    std::vector<Window> listed_;         // _NET_CLIENT_LIST
    std::map<Window, Titles> titles_;
    std::map<Window, long> masks_;  // the events selected on each window
};
