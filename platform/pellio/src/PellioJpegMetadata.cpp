// Our metadata segments as a whole: building them, reading them back, and
// putting them into the file the system codec wrote.
#include "PellioJpegSegments.h"

namespace {

bool IsOurKind(PellioJpegKind kind)
{
    return kind == PellioJpegKind::Exif || kind == PellioJpegKind::Icc || kind == PellioJpegKind::Photoshop;
}

// Readers expect a JFIF APP0 right after SOI, so ours go after it.
std::size_t InsertionPoint(const std::vector<PellioJpegSegment>& segments)
{
    const std::size_t afterSoi = 2;
    if (!segments.empty() && segments.front().start == afterSoi &&
        PellioJpegKindOf(segments.front()) == PellioJpegKind::Jfif)
        return segments.front().end;
    return afterSoi;
}

} // namespace

IKelvraError* PellioBuildJpegMetadata(const PellioJpegMetadata& metadata, std::vector<std::uint8_t>& segments)
{
    segments.clear();
    if (!metadata.software.empty() || !metadata.dateTime.empty()) {
        if (IKelvraError* error = PellioBuildExifSegment(metadata.software, metadata.dateTime, segments))
            return error;
    }
    if (!metadata.iccProfile.empty()) {
        if (IKelvraError* error = PellioBuildIccSegments(metadata.iccProfile, segments))
            return error;
    }
    if (!metadata.iptc.empty())
        return PellioBuildIptcSegments(metadata.iptc, segments);
    return nullptr;
}

IKelvraError* PellioReadJpegMetadata(const std::vector<PellioJpegSegment>& segments, PellioJpegMetadata& metadata)
{
    for (const PellioJpegSegment& segment : segments) {
        if (PellioJpegKindOf(segment) != PellioJpegKind::Exif)
            continue;
        if (IKelvraError* error = PellioReadExifTexts(PellioJpegContent(segment), metadata.software, metadata.dateTime))
            return error;
    }
    if (IKelvraError* error = PellioReadIccProfile(segments, metadata.iccProfile))
        return error;
    return PellioReadIptc(segments, metadata.iptc);
}

IKelvraError* PellioSpliceJpegMetadata(const std::uint8_t* jpeg, std::size_t size, const std::vector<std::uint8_t>& ours,
                                       std::vector<std::uint8_t>& out)
{
    std::vector<PellioJpegSegment> segments;
    if (IKelvraError* error = PellioWalkJpeg(jpeg, size, segments))
        return error;
    const std::size_t insertAt = InsertionPoint(segments);
    out.clear();
    out.reserve(size + ours.size());
    PellioAppend(out, jpeg, insertAt);
    PellioAppend(out, ours.data(), ours.size());
    std::size_t copied = insertAt;
    for (const PellioJpegSegment& segment : segments) {
        if (segment.start < insertAt || !IsOurKind(PellioJpegKindOf(segment)))
            continue;
        PellioAppend(out, jpeg + copied, segment.start - copied);
        copied = segment.end;
    }
    PellioAppend(out, jpeg + copied, size - copied);
    return nullptr;
}
