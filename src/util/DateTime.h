// DateTime: days since 30 December 1899 00:00, the fraction being the time of day (OLE Automation
// date), and its fixed text form (2012年1月12日8时46分23秒).
#pragma once

#include "util/Clock.h"
#include "util/Text.h"

struct DateTime {
    double days = 0;
};

DateTime MakeDateTime(const LocalTime& t);
DateTime Now();
Text TimeText(DateTime d);
