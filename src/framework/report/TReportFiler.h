#pragma once

#include "TBaseReport.h"

// Keeps the pages of a run in a recording the caller owns, for a preview and
// for printing later (TFilePrinter). Each run starts the recording afresh.
class TReportFiler : public TBaseReport
{
public:
    explicit TReportFiler(ReportRecording &stream) : m_stream(stream) {}

protected:
    ReportRecording &recording() override { return m_stream; }

private:
    ReportRecording &m_stream;
};
