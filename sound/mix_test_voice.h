// A voice over bytes already in the board's output format, for the host tests
// and benchmarks of MixBoard: it attaches itself, hands the board its stream
// and starts at once, with a scratch of its own.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "gfx/wrapped_memory_block.h"
#include "sound/memory_stream.h"
#include "sound/mix_board.h"

class MixTestVoice : public MixInput {
 public:
  MixTestVoice(MixBoard* board, std::vector<std::uint8_t> bytes, bool loop,
               std::uint32_t scratchBytes = 4096)
      : board_(board),
        bytes_(std::move(bytes)),
        stream_(new WrappedMemoryBlock(bytes_.data(), std::uint32_t(bytes_.size()), false, true),
                true),
        scratch_(scratchBytes) {
    // The tests' boards never run out of memory.
    (void)board_->AttachVoice(this);
    board_->SetVoiceStream(this, &stream_);
    (void)board_->StartVoice(this, 0, loop, scratch_.data());
  }
  ~MixTestVoice() override { board_->DetachVoice(this); }
  void OutputFormatChanged() override {}
  bool Playing() const { return board_->IsVoicePlaying(this); }

 private:
  MixBoard* board_;
  std::vector<std::uint8_t> bytes_;
  MemoryStream stream_;
  std::vector<std::uint8_t> scratch_;
};
