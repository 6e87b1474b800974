#pragma once

namespace pelmar {

// Where the window gets "now": the system clock in the program, a settable
// clock in tests.
class Clock
{
public:
    virtual ~Clock() = default;
    // Local date and time as a date serial, whole seconds.
    virtual double now() const = 0;
};

class SystemClock : public Clock
{
public:
    double now() const override;
};

class ManualClock : public Clock
{
public:
    explicit ManualClock(double serial = 0) : m_now(serial) {}
    double now() const override { return m_now; }
    void set(double serial) { m_now = serial; }
    void advanceSeconds(int seconds) { m_now += seconds / 86400.0; }

private:
    double m_now;
};

} // namespace pelmar
