// What the parts of tizhi-bench share: the clock its children read too,
// peak memory, medians, and one line per figure with its goal.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace bench {

// The peak resident memory of process `pid` (0: this one), in kB.
long peakKilobytes(qint64 pid = 0);
double median(std::vector<double> values);
double percentile(std::vector<double> values, double p);
// The system's monotonic clock, which the bench and its children share.
qint64 monotonicNs();
void report(const char *figure, double value, const char *unit, const char *goal, bool met);

// Starts the bench again as the child `which`, which shows its window and
// reports when the first frame is whole: the time from the start, and the
// child's peak memory. Nothing (and a message) when it never painted.
struct FirstPaint {
    double ms;
    long peakKilobytes;
};
std::optional<FirstPaint> firstPaint(const char *program, const char *which,
                                     const QString &argument);

// The database edition: start-up with 100 000 clients, Find, Save, a client
// with 1 000 diagnosis records, and memory. `program` is the bench itself,
// started again as the child that shows a window.
void databaseEdition(const char *program);

// The record forms: one drawn into memory, and tizhi-score --forms.
void recordForms();
// A file of `rows` 33-item forms with the columns id, name and time, a new
// client on each row.
QByteArray clientForms33(int rows);

} // namespace bench
