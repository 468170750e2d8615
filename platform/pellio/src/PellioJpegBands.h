// The JPEG encoder's bands: a picture is cut into bands of eight MCU rows,
// each coded by libjpeg as a file of its own on a worker thread with a
// restart interval of exactly one band, and the bands are joined into one
// scan at restart markers. The joined file is what one encoder with that
// restart interval would write, whatever the number of threads. Private to
// the JPEG codec.
#pragma once

#include "PellioJpegSegments.h"
#include "PellioWorkers.h"

#include <memory>

// The picture an encoder can take: 8-bit RGB or grey, sides up to 65535,
// quality 0 to 100. 1010 for another format, 1008 for the rest.
IKelvraError* PellioCheckJpegPicture(KelvraPixelFormat format, long width, long height, int quality);

class CPellioJpegBands {
public:
    // For a picture PellioCheckJpegPicture accepts.
    CPellioJpegBands(KelvraPixelFormat format, long width, long height, int quality);
    // Waits for the bands still being coded.
    ~CPellioJpegBands();
    CPellioJpegBands(const CPellioJpegBands&) = delete;
    CPellioJpegBands& operator=(const CPellioJpegBands&) = delete;

    // Rows a band takes (the last band takes what is left).
    long BandRows() const { return m_bandRows; }
    long RowsAdded() const { return m_rowsAdded; }

    // Queues the next band: its rows `rowBytes` apart from `rows`, which
    // the caller keeps until Finish or the end of this object.
    IKelvraError* Add(const std::uint8_t* rows, long rowBytes);
    // The same for packed rows that the coder keeps until they are coded.
    IKelvraError* Add(std::vector<std::uint8_t> packed);
    // Once every band is added: the first band's error, or the joined file.
    IKelvraError* Finish(std::vector<std::uint8_t>& jpeg);

private:
    struct Band;

    IKelvraError* Post(std::shared_ptr<Band> band);
    IKelvraError* CollectOne();

    KelvraPixelFormat m_format;
    long m_width;
    long m_height;
    int m_quality;
    long m_bandRows;
    unsigned m_restartInterval;
    long m_rowsAdded = 0;
    std::vector<std::shared_ptr<Band>> m_bands;
    std::vector<std::future<IKelvraError*>> m_results;
    std::size_t m_collected = 0; // results taken, in band order
    CPellioWorkers m_workers;    // last, so its threads end first
};

// Once every band is added: the joined file with our segments for the
// non-empty members of `metadata`, into `out` (left as it was on failure).
IKelvraError* PellioFinishJpeg(CPellioJpegBands& bands, const PellioJpegMetadata& metadata,
                               std::vector<std::uint8_t>& out);
