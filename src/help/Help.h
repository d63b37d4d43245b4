// Help: the help page below the program's folder, shown by the browser the
// settings name or, failing that, in the program's own help window.
#pragma once

#include <string>

#include "deck/Ui.h"

namespace rvm {

// The whole path to start help with: dir + "Help/Help.htm", with the
// platform's separator.
std::string HelpPagePath(const std::string& programDir);

class Help {
public:
    Help(Prompt& prompt, std::string programDir) : prompt_(prompt), programDir_(std::move(programDir)) {}

    // The browser program, as the settings and the Options dialog have it.
    const std::string& browser() const { return browser_; }
    void setBrowser(std::string browser) { browser_ = std::move(browser); }

    void show();

private:
    Prompt& prompt_;
    std::string programDir_;
    std::string browser_;
};

}  // namespace rvm
