#pragma once

#include <stop_token>
#include <string>

#include "controls/form.h"
#include "core/settings.h"
#include "core/text.h"
#include "scrape/scrape_to_list.h"
#include "scrape/source_descriptor.h"

namespace lumora {

/// The address the source requests; empty for the stored page.
std::string SourceAddress(const SourceDescriptor& source, const Settings& settings, const SourceInputs& inputs);

/// Fetches the source's page and decodes it into the working text. A failed
/// fetch gives empty text, so no rows. Blocks the calling thread for the
/// request; asking `stop` to stop ends it within a few ms, with empty text.
Text SourcePageText(const SourceDescriptor& source, const Settings& settings, const SourceInputs& inputs,
                    std::stop_token stop = {});

/// One run of the source: its page's rows in match order. Nothing is reported:
/// an unreachable site, an empty page or a page that no longer fits the
/// pattern give no rows, and so does a run stopped through `stop`. Any thread;
/// it blocks for the request.
SourceRows RunSource(const SourceDescriptor& source, const Settings& settings, const SourceInputs& inputs = {},
                     std::stop_token stop = {});

/// The inputs as the source's boxes in form read now; a box the form lacks
/// keeps its initial text. Call it on the window's thread at the click.
SourceInputs ReadSourceInputs(const SourceDescriptor& source, const Form& form);

}  // namespace lumora
