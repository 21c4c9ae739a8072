#pragma once
// Ticker: what the countdown needs of a repeating timer — switch it on and off and
// ask whether it runs. The interval and the work done on each tick belong to
// whoever builds the concrete timer.

class Ticker {
public:
    virtual ~Ticker() = default;
    virtual void start() = 0;
    virtual void stop() = 0;
    virtual bool running() const = 0;
};
