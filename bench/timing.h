#pragma once

#include <vector>

namespace pelmar::bench {

// Milliseconds on the system's steady clock, which all the benchmark's
// processes share.
double nowMs();

// The middle value; the mean of the middle two for an even count.
double median(std::vector<double> v);

// The nearest-rank percentile: the value at rank ceil(q * n) of v sorted;
// 0 for no values.
double percentile(std::vector<double> v, double q);

} // namespace pelmar::bench
