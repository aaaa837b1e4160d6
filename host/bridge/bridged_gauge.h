// A gauge whose module runs in a bridge process (a Windows .gau under wine): the same
// questions as an in-process gauge, each one request and one answer over the bridge's pipes.
// The variables a call may read go with every request (those that changed since the last);
// a whole update is one exchange. A bridge that dies, stops answering or answers nonsense is
// reported once, with its last words and the module's name; every later call fails at once.
#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "gauge_instance.h"
#include "protocol.h"

namespace panel::bridge {

class ChildProcess;

// The bridge could not be reached or made no sense: the gauge is lost.
class BridgeError : public HostError {
public:
    using HostError::HostError;
};

struct BridgeCommand {
    std::vector<std::string> argv;                  // the program and its arguments
    std::vector<std::string> environment;           // NAME=VALUE put over this process's
    std::chrono::milliseconds first_answer{60000};  // wine may be starting up
    std::chrono::milliseconds answer{10000};
};

class BridgedGauge final : public GaugeInstance {
public:
    // Starts the bridge and waits for the module's records. Throws ModuleError when the bridge
    // refuses the module, BridgeError when it cannot be started or does not answer.
    BridgedGauge(const std::filesystem::path& module, const BridgeCommand& command);
    // Asks the bridge to quit, then ends it.
    ~BridgedGauge() override;

    const GaugeRecords& records() const override { return records_; }
    const std::vector<ElementState>& elements() const override { return states_; }

    void open(HostCalls calls) override;
    void close(HostCalls calls) override;
    void call_gauge(int32_t service_id, HostCalls calls) override;
    void update_elements(HostCalls calls) override;
    void click_area(size_t index, uint32_t event_class, int32_t x, int32_t y, HostCalls calls) override;
    void start_frame(const VariableStore& variables) override;
    void run_frame(const VariableStore& variables, FrameLogs logs) override;
    std::vector<std::string> record_lines() const override { return record_lines_; }

    // The bridge's process id, for tests that end it.
    int bridge_pid() const;

private:
    // Sends `request` with the variables that changed, reads the answer into `logs` and the
    // element states; throws as the class comment says.
    void exchange(Request& request, const VariableStore& variables, std::span<EventLog* const> logs);
    void send(Request& request, const VariableStore& variables);
    void receive(Kind request, std::span<EventLog* const> logs);
    // Takes the answer to a frame begun but never finished (its owner failed in between).
    void finish_started_frame();
    Message read_message(std::chrono::milliseconds within, const char* waiting_for);
    // `gone`: its pipes broke, so how it ended is worth a moment's wait.
    [[noreturn]] void lost(const std::string& what, bool gone = false);
    void changed_variables(const VariableStore& variables, std::vector<VariableValue>& into);

    std::string name_;  // the module file's name, for messages
    BridgeCommand command_;
    std::unique_ptr<ChildProcess> child_;
    GaugeRecords records_;
    std::vector<std::string> record_lines_;
    std::vector<ElementState> states_;
    // What the bridge's store holds, as last sent.
    const Catalogue* sent_catalogue_ = nullptr;
    std::vector<VariableValue> sent_;
    std::string lost_;  // why the bridge is lost; empty while it answers
    bool opened_ = false;
    bool frame_started_ = false;
};

}  // namespace panel::bridge
