#include "host/Sonogram.h"

#include "host/HostError.h"

#include <algorithm>
#include <array>
#include <cairo.h>
#include <cmath>
#include <fftw3.h>
#include <fontconfig/fontconfig.h>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kPlotWidth = 560;
constexpr int kPlotHeight = 360;
constexpr int kLeft = 52; // room for the frequency labels of each panel
constexpr int kTop = 30;  // room for the titles
constexpr int kRight = 16;
constexpr int kChannelGap = 2;
static_assert(2 * (kLeft + kPlotWidth) + kRight == kSonogramWidth);
static_assert(kTop + kPlotHeight + 34 == kSonogramHeight);

constexpr double kLowest = 30;     // Hz at the bottom of the picture
constexpr double kHighest = 20000; // Hz at the top, or the Nyquist frequency when lower
constexpr double kRangeDb = 90;    // the darkest colour, below the loudest point
// Colour steps: more are not told apart, and flat runs keep the PNG small.
constexpr double kLevels = 40;

struct Rgb {
    double r, g, b;
};

// Black through purple, red and orange to pale yellow: level reads as brightness.
Rgb heat(double x) {
    constexpr std::array<Rgb, 5> anchors = {Rgb{0.00, 0.00, 0.02}, Rgb{0.34, 0.06, 0.43},
                                            Rgb{0.74, 0.22, 0.33}, Rgb{0.98, 0.56, 0.04},
                                            Rgb{0.99, 1.00, 0.64}};
    x = std::clamp(x, 0.0, 1.0) * (anchors.size() - 1);
    const auto i = std::min(static_cast<std::size_t>(x), anchors.size() - 2);
    const double t = x - static_cast<double>(i);
    const Rgb& a = anchors[i];
    const Rgb& b = anchors[i + 1];
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// Window length: about 80 ms, a power of two, fine enough to separate the low notches.
int fftSizeFor(double sampleRate) {
    int n = 256;
    while (n < sampleRate / 12) n *= 2;
    return n;
}

double topFrequency(double sampleRate) {
    return std::min(kHighest, sampleRate / 2);
}

// One window's power spectrum at a time, for every channel in turn.
class Spectrum final {
public:
    explicit Spectrum(int fftSize)
        : size_(fftSize), bins_(fftSize / 2 + 1),
          in_(fftwf_alloc_real(static_cast<std::size_t>(fftSize))),
          out_(fftwf_alloc_complex(static_cast<std::size_t>(bins_))),
          plan_(fftwf_plan_dft_r2c_1d(fftSize, in_, out_, FFTW_ESTIMATE)),
          window_(static_cast<std::size_t>(fftSize)) {
        double sum = 0;
        for (int i = 0; i < size_; ++i) {
            window_[static_cast<std::size_t>(i)] =
                static_cast<float>(0.5 - 0.5 * std::cos(2 * M_PI * (i + 0.5) / size_));
            sum += window_[static_cast<std::size_t>(i)];
        }
        scale_ = static_cast<float>(1 / (sum * sum));
    }
    ~Spectrum() {
        fftwf_destroy_plan(plan_);
        fftwf_free(out_);
        fftwf_free(in_);
    }
    Spectrum(const Spectrum&) = delete;
    Spectrum& operator=(const Spectrum&) = delete;

    int size() const { return size_; }
    int bins() const { return bins_; }
    // The window's samples go here before add().
    float* input() { return in_; }
    // Adds the windowed input's power, divided by `share`, to `power`.
    void add(std::vector<float>& power, int share) {
        for (int i = 0; i < size_; ++i) in_[i] *= window_[static_cast<std::size_t>(i)];
        fftwf_execute(plan_);
        for (int b = 0; b < bins_; ++b)
            power[static_cast<std::size_t>(b)] +=
                (out_[b][0] * out_[b][0] + out_[b][1] * out_[b][1]) * scale_ / share;
    }

private:
    int size_;
    int bins_;
    float* in_;
    fftwf_complex* out_;
    fftwf_plan plan_;
    std::vector<float> window_;
    float scale_ = 1;
};

// Where the windows of a picture column lie: `columns` equal spans of the whole length,
// each averaging up to sixteen windows.
struct Layout {
    double sampleRate;
    int fftSize;
    double span;
    int perColumn;

    long firstFrame(std::size_t window) const {
        const auto column = static_cast<double>(window / static_cast<std::size_t>(perColumn));
        const auto k = static_cast<double>(window % static_cast<std::size_t>(perColumn));
        return std::lround(span * (column + (k + 0.5) / perColumn)) - fftSize / 2;
    }
};

// The bins a picture row covers: rows take equal ratios of frequency, and a row wider
// than a bin averages its bins, a narrower one interpolates at its middle.
struct RowBins {
    std::size_t first, last;
    double mid;
};

std::vector<RowBins> rowBins(const Layout& layout, int height, int bins) {
    const double binHz = layout.sampleRate / layout.fftSize;
    const double highest = topFrequency(layout.sampleRate);
    std::vector<RowBins> rows;
    for (int row = 0; row < height; ++row) {
        const double fromTop = static_cast<double>(row) / height;
        const double hi = highest * std::pow(kLowest / highest, fromTop) / binHz;
        const double lo = highest * std::pow(kLowest / highest, fromTop + 1.0 / height) / binHz;
        rows.push_back({static_cast<std::size_t>(std::ceil(lo)),
                        static_cast<std::size_t>(std::min(std::floor(hi), bins - 1.0)),
                        std::sqrt(lo * hi)});
    }
    return rows;
}

// One channel as it streams past: the last samples in a ring, each window analysed once
// its last sample has arrived, each finished column kept only as its rows' powers.
class Track final {
public:
    Track(const Layout& layout, int height, int bins)
        : layout_(layout), height_(height), rows_(rowBins(layout, height, bins)),
          ring_(2 * static_cast<std::size_t>(layout.fftSize)),
          column_(static_cast<std::size_t>(bins)),
          powers_(static_cast<std::size_t>(kPlotWidth) * static_cast<std::size_t>(height)) {}

    void add(const float* samples, std::size_t n, Spectrum& spectrum, double& loudest) {
        // Pieces no longer than a window keep every pending window's samples in the ring.
        const auto piece = static_cast<std::size_t>(layout_.fftSize);
        for (std::size_t done = 0; done < n; done += piece) {
            const std::size_t count = std::min(piece, n - done);
            for (std::size_t i = 0; i < count; ++i)
                ring_[(received_ + i) % ring_.size()] = samples[done + i];
            received_ += count;
            while (next_ < windows() &&
                   layout_.firstFrame(next_) + layout_.fftSize <= static_cast<long>(received_))
                analyse(spectrum, loudest);
        }
    }
    // The rest is silence.
    void finish(Spectrum& spectrum, double& loudest) {
        while (next_ < windows()) analyse(spectrum, loudest);
    }
    int height() const { return height_; }
    double power(int column, int row) const {
        return powers_[static_cast<std::size_t>(column * height_ + row)];
    }

private:
    std::size_t windows() const {
        return static_cast<std::size_t>(kPlotWidth) * static_cast<std::size_t>(layout_.perColumn);
    }

    void analyse(Spectrum& spectrum, double& loudest) {
        const long first = layout_.firstFrame(next_);
        float* in = spectrum.input();
        for (long i = 0; i < layout_.fftSize; ++i) {
            const long at = first + i;
            in[i] = at >= 0 && at < static_cast<long>(received_)
                        ? ring_[static_cast<std::size_t>(at) % ring_.size()]
                        : 0.0f;
        }
        spectrum.add(column_, layout_.perColumn);
        if (++next_ % static_cast<std::size_t>(layout_.perColumn) != 0) return;
        const std::size_t column = next_ / static_cast<std::size_t>(layout_.perColumn) - 1;
        loudest = std::max(loudest, double(*std::max_element(column_.begin(), column_.end())));
        for (std::size_t row = 0; row < rows_.size(); ++row) {
            const RowBins& r = rows_[row];
            double power = 0;
            if (r.last > r.first) {
                for (std::size_t b = r.first; b <= r.last; ++b) power += column_[b];
                power /= static_cast<double>(r.last - r.first + 1);
            } else {
                const auto b = std::min(static_cast<std::size_t>(r.mid), column_.size() - 2);
                const double t = std::clamp(r.mid - static_cast<double>(b), 0.0, 1.0);
                power = column_[b] * (1 - t) + column_[b + 1] * t;
            }
            powers_[column * static_cast<std::size_t>(height_) + row] = power;
        }
        std::fill(column_.begin(), column_.end(), 0.0f);
    }

    const Layout& layout_;
    int height_;
    std::vector<RowBins> rows_;
    std::vector<float> ring_;
    std::size_t received_ = 0;
    std::size_t next_ = 0; // the next window to analyse
    std::vector<float> column_;
    std::vector<double> powers_; // [column][row]
};

int bandHeight(std::size_t channels) {
    const int n = std::max(static_cast<int>(channels), 1);
    return (kPlotHeight - (n - 1) * kChannelGap) / n;
}

void paint(unsigned char* pixels, int stride, int top, const Track& track, double loudestDb) {
    for (int row = 0; row < track.height(); ++row) {
        auto* line = reinterpret_cast<std::uint32_t*>(pixels + (top + row) * stride);
        for (int c = 0; c < kPlotWidth; ++c) {
            const double db = 10 * std::log10(track.power(c, row) + 1e-30) - loudestDb;
            const Rgb colour = heat(std::round((1 + db / kRangeDb) * kLevels) / kLevels);
            line[c] = 0xff000000u | static_cast<std::uint32_t>(colour.r * 255) << 16 |
                      static_cast<std::uint32_t>(colour.g * 255) << 8 |
                      static_cast<std::uint32_t>(colour.b * 255);
        }
    }
}

void label(cairo_t* cr, double x, double y, const std::string& text, double alignX) {
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text.c_str(), &extents);
    cairo_move_to(cr, x - extents.x_advance * alignX, y);
    cairo_show_text(cr, text.c_str());
}

void drawAxes(cairo_t* cr, int left, double seconds, int channels, double sampleRate) {
    cairo_set_source_rgb(cr, 0.8, 0.8, 0.8);
    cairo_set_font_size(cr, 11);
    const double bandHeight = (kPlotHeight - (channels - 1) * kChannelGap) / double(channels);
    const double highest = topFrequency(sampleRate);
    constexpr std::array<std::pair<double, const char*>, 3> ticks = {
        std::pair{100.0, "100"}, std::pair{1000.0, "1k"}, std::pair{10000.0, "10k"}};
    for (int ch = 0; ch < channels; ++ch) {
        const double bandTop = kTop + ch * (bandHeight + kChannelGap);
        for (const auto& [hz, text] : ticks) {
            if (hz > highest) continue;
            const double y =
                bandTop + bandHeight * std::log(highest / hz) / std::log(highest / kLowest);
            cairo_rectangle(cr, left - 4, y - 0.5, 4, 1);
            cairo_fill(cr);
            label(cr, left - 6, y + 4, text, 1);
        }
        if (channels == 2) label(cr, left + kPlotWidth - 4, bandTop + 14, ch ? "R" : "L", 1);
    }
    // A time tick every 1, 2 or 5 times a power of ten seconds, at most ten of them.
    double step = 0.1;
    for (int i = 0; seconds / step > 10; ++i) step *= (i % 3 == 1) ? 2.5 : 2;
    for (double t = 0; t <= seconds + 1e-9 && seconds > 0; t += step) {
        const double x = left + kPlotWidth * t / seconds;
        cairo_rectangle(cr, x - 0.5, kTop + kPlotHeight, 1, 4);
        cairo_fill(cr);
        char text[32];
        std::snprintf(text, sizeof text, step < 1 ? "%.1f" : "%.0f", t);
        label(cr, x, kTop + kPlotHeight + 16, text, t == 0 ? 0 : 0.5);
    }
    label(cr, left + kPlotWidth, kTop + kPlotHeight + 30, "seconds", 1);
}

} // namespace

struct Sonogram::Analysis {
    Analysis(double sampleRate, std::size_t frames)
        : spectrum(fftSizeFor(sampleRate)), layout{sampleRate, spectrum.size(),
                                                   static_cast<double>(frames) / kPlotWidth, 1},
          seconds(static_cast<double>(frames) / sampleRate) {
        layout.perColumn =
            std::clamp(static_cast<int>(std::ceil(layout.span / (layout.fftSize / 4.0))), 1, 16);
    }
    Spectrum spectrum;
    Layout layout;
    double seconds;
    double loudest = 1e-30;
    std::array<std::vector<Track>, 2> panels; // input, output
};

Sonogram::Sonogram(double sampleRate, std::size_t inputChannels, std::size_t outputChannels,
                   std::size_t frames)
    : analysis_(std::make_unique<Analysis>(sampleRate, frames)) {
    const std::array<std::size_t, 2> channels = {inputChannels, outputChannels};
    for (std::size_t p = 0; p < 2; ++p)
        for (std::size_t c = 0; c < channels[p]; ++c)
            analysis_->panels[p].emplace_back(analysis_->layout, bandHeight(channels[p]),
                                              analysis_->spectrum.bins());
}

Sonogram::~Sonogram() = default;

void Sonogram::add(std::size_t panel, const float* const* channels, std::size_t n) {
    for (std::size_t c = 0; c < analysis_->panels[panel].size(); ++c)
        analysis_->panels[panel][c].add(channels[c], n, analysis_->spectrum, analysis_->loudest);
}

void Sonogram::addInput(const float* const* channels, std::size_t n) {
    add(0, channels, n);
}

void Sonogram::addOutput(const float* const* channels, std::size_t n) {
    add(1, channels, n);
}

void Sonogram::write(const std::filesystem::path& path, const std::filesystem::path& shownAs) {
    Analysis& a = *analysis_;
    for (auto& panel : a.panels)
        for (Track& track : panel) track.finish(a.spectrum, a.loudest);
    const double loudestDb = 10 * std::log10(a.loudest);

    std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface(
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, kSonogramWidth, kSonogramHeight),
        cairo_surface_destroy);
    std::unique_ptr<cairo_t, decltype(&cairo_destroy)> context(cairo_create(surface.get()),
                                                               cairo_destroy);
    cairo_t* cr = context.get();
    cairo_set_source_rgb(cr, 0.12, 0.12, 0.13);
    cairo_paint(cr);
    cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);

    const std::array<const char*, 2> titles = {"Input", "Output"};
    for (std::size_t p = 0; p < a.panels.size(); ++p) {
        const std::vector<Track>& tracks = a.panels[p];
        const int left = kLeft + static_cast<int>(p) * (kLeft + kPlotWidth);
        std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> plot(
            cairo_image_surface_create(CAIRO_FORMAT_RGB24, kPlotWidth, kPlotHeight),
            cairo_surface_destroy);
        cairo_surface_flush(plot.get());
        unsigned char* pixels = cairo_image_surface_get_data(plot.get());
        const int stride = cairo_image_surface_get_stride(plot.get());
        std::fill(pixels, pixels + stride * kPlotHeight, 0);
        const int band = bandHeight(tracks.size());
        for (std::size_t ch = 0; ch < tracks.size(); ++ch)
            paint(pixels, stride, static_cast<int>(ch) * (band + kChannelGap), tracks[ch],
                  loudestDb);
        cairo_surface_mark_dirty(plot.get());
        cairo_set_source_surface(cr, plot.get(), left, kTop);
        cairo_paint(cr);

        cairo_set_source_rgb(cr, 0.95, 0.95, 0.95);
        cairo_set_font_size(cr, 14);
        label(cr, left, kTop - 10, titles[p], 0);
        drawAxes(cr, left, a.seconds, std::max(static_cast<int>(tracks.size()), 1),
                 a.layout.sampleRate);
    }
    cairo_surface_flush(surface.get());
    const cairo_status_t status = cairo_surface_write_to_png(surface.get(), path.c_str());
    // The labels' font caches would live to the end of the process, which leak checkers
    // report; the tool draws one picture per run.
    context.reset();
    surface.reset();
    cairo_debug_reset_static_data();
    FcFini();
    if (status != CAIRO_STATUS_SUCCESS)
        throw HostError("cannot write '" + shownAs.string() +
                        "': " + cairo_status_to_string(status));
}
