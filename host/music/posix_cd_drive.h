#pragma once
// The system's audio CD drive, asked through its device file at every question.

#include <optional>
#include <string>
#include <utility>

#include "host/music/cd_player.h"

class PosixCdDrive : public CdDrive {
  public:
    explicit PosixCdDrive(std::string device) : device_(std::move(device)) {}
    // The audio tracks of the disc's table of contents, as the CD source numbers them.
    std::optional<int> TrackCount() override;

  private:
    std::string device_;
};
