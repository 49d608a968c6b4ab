#pragma once

// The spans of the review page's lists and chart.
enum ReviewPeriod {
    ReviewToday = 0,
    ReviewWeek = 1,
    ReviewMonth = 2,
    ReviewAll = 3,
};
