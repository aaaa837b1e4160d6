#include "bridged_gauge.h"

#include <bit>

#include "bridge_process.h"
#include "module_library.h"

namespace panel::bridge {
namespace {

bool same(const VariableValue& a, const VariableValue& b) {
    if (a.id != b.id || a.type != b.type) return false;
    switch (a.type) {
        case VariableValue::Type::number: return std::bit_cast<uint64_t>(a.number) == std::bit_cast<uint64_t>(b.number);
        case VariableValue::Type::integer: return a.integer == b.integer;
        case VariableValue::Type::text: return a.text == b.text;
        case VariableValue::Type::null_text: return true;
    }
    return false;
}

std::string duration_text(std::chrono::milliseconds span) {
    if (span.count() % 1000 != 0) return std::to_string(span.count()) + " ms";
    return std::to_string(span.count() / 1000) + " s";
}

// What the bridge says of the module, less the module's path as the bridge names it (a Windows
// path under wine): the host names it its own way.
std::string about_module(const std::string& text, const std::string& file_name) {
    const size_t at = text.find(file_name + ": ");
    return at == std::string::npos ? text : text.substr(at + file_name.size() + 2);
}

}  // namespace

BridgedGauge::BridgedGauge(const std::filesystem::path& module, const BridgeCommand& command)
    : name_(module.filename().string()), command_(command) {
    try {
        child_ = std::make_unique<ChildProcess>(command.argv, command.environment);
    } catch (const std::runtime_error& error) {
        throw BridgeError(name_ + ": the bridge could not be started (" + error.what() + ")");
    }
    const Message first = read_message(command.first_answer, "its records");
    try {
        if (first.kind == Kind::failed) {
            const Failed failed = decode_failed(first);
            lost_ = name_ + ": " + failed.text;
            child_->end(std::chrono::milliseconds(2000));
            if (failed.failure == Failure::module) {
                throw ModuleError(module.string() + ": " + about_module(failed.text, name_));
            }
            throw BridgeError(lost_);
        }
        Ready ready = decode_ready(first);
        records_ = std::move(ready.records);
        records_.module = module.string();
        record_lines_ = std::move(ready.record_lines);
        states_ = std::move(ready.states);
    } catch (const ProtocolError& error) {
        lost(std::string("the bridge's first answer makes no sense (") + error.what() + ")");
    }
}

BridgedGauge::~BridgedGauge() {
    if (lost_.empty()) {
        // Quit: the bridge closes the module itself.
        try {
            Request quit;
            quit.kind = Kind::quit;
            child_->write(encode(quit));
        } catch (const std::exception&) {
            // It is going either way.
        }
    }
    child_->end(std::chrono::milliseconds(2000));
}

int BridgedGauge::bridge_pid() const {
    return child_->pid();
}

void BridgedGauge::lost(const std::string& what, bool gone) {
    std::string line = name_ + ": " + what;
    const std::optional<std::string> ended =
        gone ? child_->ended_within(std::chrono::milliseconds(500)) : child_->ended();
    if (ended) line += "; the bridge " + *ended;
    const std::string words = child_->last_words();
    line += words.empty() ? "; it said nothing" : "; its last words: " + words;
    lost_ = line;
    // Nothing more is asked of it: a bridge still running is ended now, not at the panel's end.
    child_->end(std::chrono::milliseconds(200));
    throw BridgeError(line);
}

Message BridgedGauge::read_message(std::chrono::milliseconds within, const char* waiting_for) {
    const auto deadline = ChildProcess::Clock::now() + within;
    try {
        std::array<uint8_t, header_bytes> header{};
        child_->read(header, deadline);
        Header head{};
        try {
            head = read_header(header);
        } catch (const ProtocolError& error) {
            lost(std::string("the bridge answered garbage (") + error.what() + ")");
        }
        Message message{head.kind, std::vector<uint8_t>(head.payload_bytes)};
        child_->read(message.payload, deadline);
        return message;
    } catch (const ChildLost& error) {
        switch (error.why) {
            case ChildLost::Why::timed_out:
                lost("the bridge did not answer within " + duration_text(within) + " (waiting for " + waiting_for +
                     ")");
            case ChildLost::Why::ended:
            case ChildLost::Why::unwritable: break;
        }
        lost(std::string("the bridge stopped while the host waited for ") + waiting_for, true);
    }
}

void BridgedGauge::changed_variables(const VariableStore& variables, std::vector<VariableValue>& into) {
    std::vector<VariableValue> now = variables_of(variables);
    if (sent_catalogue_ != &variables.catalogue() || sent_.size() != now.size()) {
        into = now;
    } else {
        for (size_t i = 0; i < now.size(); ++i) {
            if (!same(now[i], sent_[i])) into.push_back(now[i]);
        }
    }
    sent_catalogue_ = &variables.catalogue();
    sent_ = std::move(now);
}

void BridgedGauge::send(Request& request, const VariableStore& variables) {
    if (!lost_.empty()) throw BridgeError(lost_);
    changed_variables(variables, request.variables);
    try {
        child_->write(encode(request));
    } catch (const ChildLost&) {
        lost(std::string("the bridge stopped before the host could send its ") + kind_name(request.kind) + " request",
             true);
    }
}

void BridgedGauge::receive(Kind request, std::span<EventLog* const> logs) {
    const std::string waiting = std::string("its answer to ") + kind_name(request);
    const Message answer = read_message(command_.answer, waiting.c_str());
    try {
        if (answer.kind == Kind::failed) {
            const Failed failed = decode_failed(answer);
            if (failed.failure == Failure::gauge) throw HostError(name_ + ": " + failed.text);
            // The request was refused: what the bridge holds is no longer known.
            sent_.clear();
            lost("the bridge refused a " + std::string(kind_name(request)) + " request (" + failed.text + ")");
        }
        decode_done(answer, logs, states_);
    } catch (const ProtocolError& error) {
        lost(std::string("the bridge answered garbage (") + error.what() + ")");
    }
}

void BridgedGauge::finish_started_frame() {
    if (!frame_started_) return;
    frame_started_ = false;
    EventLog unused[3];
    EventLog* logs[] = {&unused[0], &unused[1], &unused[2]};
    receive(Kind::frame, logs);
}

void BridgedGauge::exchange(Request& request, const VariableStore& variables, std::span<EventLog* const> logs) {
    finish_started_frame();
    send(request, variables);
    receive(request.kind, logs);
}

void BridgedGauge::open(HostCalls calls) {
    if (opened_) return;
    opened_ = true;
    Request request;
    request.kind = Kind::open;
    EventLog* logs[] = {&calls.log};
    exchange(request, calls.variables, logs);
}

void BridgedGauge::close(HostCalls calls) {
    if (!opened_) return;
    opened_ = false;
    Request request;
    request.kind = Kind::close;
    EventLog* logs[] = {&calls.log};
    exchange(request, calls.variables, logs);
}

void BridgedGauge::call_gauge(int32_t service_id, HostCalls calls) {
    Request request;
    request.kind = Kind::service;
    request.service_id = service_id;
    EventLog* logs[] = {&calls.log};
    exchange(request, calls.variables, logs);
}

void BridgedGauge::update_elements(HostCalls calls) {
    Request request;
    request.kind = Kind::elements;
    EventLog* logs[] = {&calls.log};
    exchange(request, calls.variables, logs);
}

void BridgedGauge::click_area(size_t index, uint32_t event_class, int32_t x, int32_t y, HostCalls calls) {
    if (index >= records_.mouse_areas.size()) {
        throw HostError(name_ + ": no clickable area " + std::to_string(index + 1));
    }
    Request request;
    request.kind = Kind::click;
    request.area = static_cast<uint32_t>(index);
    request.event_class = event_class;
    request.x = x;
    request.y = y;
    EventLog* logs[] = {&calls.log};
    exchange(request, calls.variables, logs);
}

void BridgedGauge::start_frame(const VariableStore& variables) {
    finish_started_frame();
    Request request;
    request.kind = Kind::frame;
    send(request, variables);
    frame_started_ = true;
}

void BridgedGauge::run_frame(const VariableStore& variables, FrameLogs logs) {
    if (!frame_started_) start_frame(variables);
    frame_started_ = false;
    EventLog* phase_logs[] = {&logs.pre_update, &logs.elements, &logs.pre_draw};
    receive(Kind::frame, phase_logs);
}

}  // namespace panel::bridge
