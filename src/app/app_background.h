// The learning child's side of background learning, as the learning loop
// sees it: the stop window around each epoch and the announcement that a
// report follows. Only meaningful inside the child (ChildPid 0).
#pragma once

// Holds report requests (SIGUSR1) back while an epoch is computed, so that
// a report only ever describes a network between two epochs.
void HoldReportRequests();

// Ends the stop window after an epoch and its output: serves a request that
// came meanwhile and tells whether the parent asked for a report. Ends the
// child at once when the parent has gone, since nobody would take a report.
bool ReportRequested();

// Tells the parent that learning is over and a report follows, before the
// child prints its final results, so that a command typed after those
// results waits for the report instead of meeting the learning gate.
void AnnounceReport();
