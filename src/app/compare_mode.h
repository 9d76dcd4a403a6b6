// COMPARE mode: two files hashed with each selected algorithm, one verdict line per algorithm.
#pragma once

namespace tarvolin::app {

void RunCompareMode();

}  // namespace tarvolin::app
