#pragma once

#include <string>
#include <string_view>

struct DateTime {
    int year = 0;
    int month = 0;   // 1-12
    int day = 0;     // 1-31
    int hour = 0;    // 0-23
    int minute = 0;  // 0-59
    int second = 0;  // 0-59
};

// The local date and time to the second.
DateTime currentDateTime();

// Replaces "%yyyy", "%yy", "%mm", "%dd", "%hh", "%ii" and "%ss" (any letter case) in the mask;
// any other "%" is copied unchanged.
std::string formatDate(std::string_view mask, const DateTime& date);
