// The lock that keeps a second host from starting while the first is on its way to showing its
// run or settings window. The window names find a host only once its window is up; between that
// look and its own window appearing, two hosts started together would each find none.
#pragma once

class InstanceLock {
  public:
    virtual ~InstanceLock() = default;
    // Takes the lock for the rest of the program's life; false when another program holds it.
    // Where no lock can be had at all, it is true: the window names then decide alone.
    virtual bool Acquire() = 0;
};
