// What the job queue needs of the parked save state: an object that parks
// the library's save globals while it lives and puts them back when it is
// destroyed. The save code supplies the real one; the queue only makes it
// (through its NewSaveContext hook) and deletes it.
#pragma once

class ITlSaveContext {
public:
    virtual ~ITlSaveContext() = default;
};
