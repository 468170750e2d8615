#include "DevelopProgress.h"

namespace {

constexpr int kBarWidth = 40;

// Whole percent, kept within 0 to 100 whatever the saver reports.
int PercentOf(long done, long total)
{
    if (total < 1 || done < 1)
        return 0;
    if (done >= total)
        return 100;
    return int(done * 100.0 / double(total));
}

} // namespace

std::string ProgressBarText(long done, long total)
{
    const int percent = PercentOf(done, total);
    const int filled = percent * kBarWidth / 100;
    std::string text = "[";
    text.append(std::size_t(filled), '#');
    text.append(std::size_t(kBarWidth - filled), '.');
    char number[8];
    std::snprintf(number, sizeof number, "] %3d%%", percent);
    return text + number;
}

void CProgressLine::Show(long done, long total)
{
    const std::string text = ProgressBarText(done, total);
    if (text == m_shown)
        return;
    m_shown = text;
    std::fprintf(m_out, "\r%s", text.c_str());
    std::fflush(m_out);
}

void CProgressLine::Finish()
{
    if (m_shown.empty())
        return;
    std::fputc('\n', m_out);
    std::fflush(m_out);
    m_shown.clear();
}
