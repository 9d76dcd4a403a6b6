// LIST mode: every unclaimed parameter is an item, hashed as a file when it names one and as
// text otherwise.
#pragma once

namespace tarvolin::app {

void RunListMode();

}  // namespace tarvolin::app
