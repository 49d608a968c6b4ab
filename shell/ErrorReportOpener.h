#pragma once

// Lets every question cell's "纠错" open the feedback form as a question
// error report. Called once at start-up.
void installErrorReportOpener();
