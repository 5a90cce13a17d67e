#pragma once

class QPagedPaintDevice;
class ReportRecording;

// Prints recorded pages on a printer or into a PDF file, on the recording's
// paper and orientation.
class TFilePrinter
{
public:
    explicit TFilePrinter(const ReportRecording &stream) : m_stream(stream) {}

    void print(QPagedPaintDevice &device) const;
    // Pages `first` to `last`, counted from 1, `copies` times over. Throws
    // FileError when the device cannot be painted on.
    void print(QPagedPaintDevice &device, int first, int last, int copies = 1) const;

private:
    const ReportRecording &m_stream;
};
