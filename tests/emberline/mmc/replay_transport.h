#pragma once
// A drive that answers from a script of recorded exchanges: each step names
// the CDB it expects and the reply (data, status, sense) a real drive gave.

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <vector>

#include "transport/scsi_transport.h"

namespace emberline::testing {

struct Exchange {
  std::vector<std::uint8_t> cdb;
  std::vector<std::uint8_t> response;  ///< returned for FromDevice commands
  std::uint8_t status = 0x00;
  SenseData sense;
};

inline Exchange answer(std::vector<std::uint8_t> cdb, std::vector<std::uint8_t> response = {}) {
  return Exchange{std::move(cdb), std::move(response), 0x00, {}};
}
inline Exchange checkCondition(std::vector<std::uint8_t> cdb, std::uint8_t key, std::uint8_t asc, std::uint8_t ascq) {
  return Exchange{std::move(cdb), {}, 0x02, SenseData{key, asc, ascq}};
}

class ReplayTransport final : public ScsiTransport {
 public:
  explicit ReplayTransport(std::vector<Exchange> script) : script_(script.begin(), script.end()) {}
  ~ReplayTransport() override { EXPECT_TRUE(script_.empty()) << script_.size() << " expected command(s) not sent"; }

  Result<ScsiReply> execute(const ScsiCommand& command) override {
    std::vector<std::uint8_t> sent(command.cdb.begin(), command.cdb.begin() + command.cdbLength);
    if (script_.empty()) {
      ADD_FAILURE() << "unexpected command, opcode " << int{command.opcode()};
      return fail(ErrorKind::Transport, "replay script exhausted");
    }
    Exchange next = std::move(script_.front());
    script_.pop_front();
    EXPECT_EQ(sent, next.cdb) << "CDB of opcode " << int{command.opcode()};
    ScsiReply reply;
    reply.status = next.status;
    reply.sense = next.sense;
    if (command.direction == DataDirection::FromDevice) {
      const std::size_t n = std::min(next.response.size(), command.data.size());
      std::copy_n(next.response.begin(), n, command.data.begin());
      reply.transferred = n;
    } else if (command.direction == DataDirection::ToDevice) {
      sentData.emplace_back(command.data.begin(), command.data.end());
      reply.transferred = command.data.size();
    }
    return reply;
  }

  void discardRemaining() { script_.clear(); }

  std::string describe() const override { return "replay drive"; }

  std::vector<std::vector<std::uint8_t>> sentData;  ///< parameter data of ToDevice commands, in order

 private:
  std::deque<Exchange> script_;
};

}  // namespace emberline::testing
