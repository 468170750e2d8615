// The develop command's progress bar: one line that it redraws in place
// whenever the whole percentage of the running step changes.
#pragma once

#include <cstdio>
#include <string>

// "[#########...........]  45%"; a total below 1 draws an empty bar.
std::string ProgressBarText(long done, long total);

class CProgressLine {
public:
    explicit CProgressLine(std::FILE* out) : m_out(out) {}

    void Show(long done, long total);
    // Ends the line when a bar was drawn.
    void Finish();

private:
    std::FILE* m_out;
    std::string m_shown;
};
