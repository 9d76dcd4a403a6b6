// The help screens: brief, normal and extended, written on the console stream.
#pragma once

namespace tarvolin::app {

/// The brief form (`brief`), else the normal form, or the extended one when -v was found.
void ShowHelp(bool brief);

}  // namespace tarvolin::app
