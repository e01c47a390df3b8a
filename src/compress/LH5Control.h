// LH5Compression: compresses a stream or file into another with the -lh5-
// method and expands it again.  The compressed form is the uncompressed
// size (4 bytes, little-endian) followed by the -lh5- bit stream.
#pragma once

#include <memory>
#include <string>

#include "compress/LH5Coder.h"
#include "platform/Classes.h"
#include "platform/Streams.h"

namespace treskel {

class TProgressBar;

class LH5Compression : public TComponent {
    TRESKEL_CLASS(LH5Compression)
public:
    explicit LH5Compression(TComponent* owner);

    // The bar that coding moves, where there are windows: Max is the
    // uncompressed size and Position the uncompressed bytes coded so far
    // (input while compressing, output while expanding), so that both
    // directions fill it alike.
    TProgressBar* ProgessControl() const;
    void SetProgessControl(TProgressBar* bar);
    // Where coding reports how far it has come: the bar, or any other
    // receiver a caller sets.
    TCodingProgress* Progress() const { return progress_; }
    void SetProgress(TCodingProgress* progress);
    const std::string& FileIn() const { return fileIn_; }
    void SetFileIn(const std::string& name) { fileIn_ = name; }
    const std::string& FileOut() const { return fileOut_; }
    void SetFileOut(const std::string& name) { fileOut_ = name; }
    bool UseStreamMode() const { return useStreamMode_; }
    void SetUseStreamMode(bool on) { useStreamMode_ = on; }

    // The streams of stream mode, not owned; both are used from their
    // current positions and left open.
    TStream* StreamIn = nullptr;
    TStream* StreamOut = nullptr;

    // Codes the input from its position to its end.
    void Compress();
    // Decodes the stream at the input's position; bytes after it are left
    // unread.  Raises Exception("File is corrupt!") for a damaged stream.
    void Expand();

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    template <class Op>
    void WithStreams(Op op);
    void DropBar();

    TComponent* bar_ = nullptr;  // the ProgessControl
    std::unique_ptr<TCodingProgress> barProgress_;
    TCodingProgress* progress_ = nullptr;
    std::string fileIn_;
    std::string fileOut_;
    bool useStreamMode_ = false;
};

}  // namespace treskel

namespace treskel {
// Publishes the compressor for layouts (where there are windows).
void RegisterCompressClasses();
}  // namespace treskel
