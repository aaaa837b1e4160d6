#include "live_session.h"

#include <stdexcept>

#include "property_client.h"
#include "replay_feed.h"
#include "udp_receiver.h"

namespace panel::app {

std::unique_ptr<live::LiveSource> make_live_source(const LiveOptions& options) {
    try {
        live::Protocol protocol = live::read_protocol(options.protocol);
        std::unique_ptr<live::DatagramFeed> feed;
        if (options.replay) {
            feed = std::make_unique<live::ReplayFeed>(*options.replay, protocol, options.replay_rate);
        } else {
            feed = std::make_unique<live::UdpReceiver>(options.listen);
        }
        std::unique_ptr<live::PropertyClient> props;
        if (options.props) props = std::make_unique<live::PropertyClient>(*options.props);
        return std::make_unique<live::LiveSource>(std::move(protocol), std::move(feed), std::move(props));
    } catch (const live::ProtocolError& error) {
        throw std::runtime_error(error.what());
    }
}

void refuse_world_steps(const scenario::Script& script, const std::string& file) {
    for (const scenario::Step& step : script.steps) {
        if (step.kind != scenario::StepKind::fly && step.kind != scenario::StepKind::world) continue;
        throw std::runtime_error(file + ":" + std::to_string(step.line) + ": " +
                                 (step.kind == scenario::StepKind::fly ? "fly" : "world") +
                                 " steps need the simulated world; in a live flight FlightGear flies the aircraft");
    }
}

}  // namespace panel::app
