// What the auto-brightness record asks of the auto-brightness filter when it
// reports new levels. The filter implements it; the record reaches it from
// the filter that sent the notification.
#pragma once

class ITlAutoLevelsSource {
public:
    // Low and high level of one channel; channel -1 asks for the lowest low
    // and the highest high level over all channels.
    virtual long GetLowLevel(long channel) = 0;
    virtual long GetHighLevel(long channel) = 0;
    // The gain the filter found, in 1/256 EV.
    virtual long GetAutoGain() = 0;

protected:
    ~ITlAutoLevelsSource() = default;
};
