// The fixed texts of the print conversation and the screens that are not job data.
#pragma once

#include <string>
#include <string_view>

#include "hostsim/job.h"

namespace hostsim {

constexpr std::string_view kJobMarker = "QORPRINT";
constexpr std::string_view kStartCommand = "0009,=         ;";
constexpr std::string_view kEndMarker = "$-+ENDPRINT+-$";

// Screen positions of the job header fields.
constexpr int kLevelPosition = 23;
constexpr int kPrefixPosition = 320;
constexpr int kIdentPosition = 324;
constexpr int kCodePosition = 404;
constexpr int kField4Position = 415;
constexpr int kField5Position = 484;
constexpr int kLinesPosition = 644;  // 7 digits, right-aligned
constexpr int kPagesPosition = 656;  // 5 digits, right-aligned

// The job header screen's text (trailing blanks cut).
std::string JobHeaderText(const JobHeader& header, char level);
// What the screen shows while no job waits.
std::string IdleScreenText();

}  // namespace hostsim
