#pragma once

#include <functional>

class QPagedPaintDevice;
class ReportRecording;

// Prints recorded pages on a printer or into a PDF file, on the recording's
// paper and orientation.
class TFilePrinter
{
public:
    explicit TFilePrinter(const ReportRecording &stream) : m_stream(stream) {}

    void print(QPagedPaintDevice &device);
    // Pages `first` to `last`, counted from 1, `copies` times over. Throws
    // FileError when the device cannot be painted on.
    void print(QPagedPaintDevice &device, int first, int last, int copies = 1);

    // True while a print runs: onPage may hand control back to the user
    // between pages, and a second print must wait for the first.
    bool busy() const { return m_busy; }
    // Called after each page printed.
    std::function<void()> onPage;

private:
    const ReportRecording &m_stream;
    bool m_busy = false;
};
