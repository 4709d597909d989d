// The media player on Linux: a GStreamer playbin each for the audio CD (cdda://<track>), the
// music file and the system sound, their buses watched from the GLib main loop that runs the
// host. The sound system is the MCI interpreter over this player.

#include <gst/gst.h>
#include <unistd.h>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "host/music/mci_interpreter.h"
#include "host/music/media_player.h"
#include "host/music/sound_system.h"
#include "host/runtime/posix_services.h"

namespace {

// Long enough for a CD drive to spin up; a missing file or drive fails at once.
constexpr GstClockTime kOpenTimeout = 10 * GST_SECOND;

// A music file held open for as long as a stream plays it. The playbin reads it through
// /proc/self/fd, so it opens the very regular file that was checked: a name that has come to
// stand for a FIFO since cannot keep the open inside the playbin, on the main loop, waiting.
class HeldFile {
  public:
    HeldFile() = default;
    ~HeldFile() { Release(); }
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;

    bool Hold(const std::string& path) {
        Release();
        fd_ = OpenRegularFile(path);
        return fd_ >= 0;
    }
    std::string Uri() const { return "file:///proc/self/fd/" + std::to_string(fd_); }
    void Release() {
        if (fd_ >= 0) close(fd_);
        fd_ = -1;
    }

  private:
    int fd_ = -1;
};

// One playbin and what its bus has told.
class Stream {
  public:
    explicit Stream(const char* name) : playbin_(gst_element_factory_make("playbin", name)) {
        if (playbin_ == nullptr) return;
        gst_object_ref_sink(playbin_);
        GstBus* bus = gst_element_get_bus(playbin_);
        watch_ = gst_bus_add_watch(bus, &Stream::OnMessage, this);
        gst_object_unref(bus);
        g_signal_connect(playbin_, "about-to-finish", G_CALLBACK(&Stream::OnAboutToFinish), this);
    }
    ~Stream() {
        if (playbin_ == nullptr) return;
        g_source_remove(watch_);
        gst_element_set_state(playbin_, GST_STATE_NULL);
        gst_object_unref(playbin_);
    }
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;

    // Called from the main loop when the stream has played to its end.
    std::function<void()> onEnd;

    // While set, the stream starts over by itself instead of ending: the playbin is handed the
    // same file again just before the end, so it plays on without a gap. A restart from the
    // main loop after the end of stream would depend on the sink draining its buffer, the
    // main loop getting round to the message and a flushing seek, each a pause in the sound.
    void SetLooping(bool loop) { looping_ = loop; }

    // Loads uri and waits until it can play; false when it cannot be played.
    bool Load(const std::string& uri) {
        Close();
        return Prepare(uri);
    }
    // The same for the regular file at path; anything else is not played.
    bool LoadFile(const std::string& path) {
        Close();
        return file_.Hold(path) && Prepare(file_.Uri());
    }
    // Starts uri playing without waiting for it; a failure shows on the bus later.
    void Start(const std::string& uri) {
        Close();
        if (playbin_ == nullptr) return;
        g_object_set(playbin_, "uri", uri.c_str(), nullptr);
        mode = gst_element_set_state(playbin_, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE
                   ? MediaMode::Stopped
                   : MediaMode::Playing;
    }
    bool Seek(uint32_t ms) {
        return gst_element_seek_simple(
                   playbin_, GST_FORMAT_TIME,
                   static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                   static_cast<gint64>(ms) * GST_MSECOND) != FALSE;
    }
    bool Play() {
        if (mode == MediaMode::NotReady) return false;
        if (gst_element_set_state(playbin_, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
            return false;
        }
        mode = MediaMode::Playing;
        return true;
    }
    void Pause() {
        if (mode == MediaMode::NotReady) return;
        gst_element_set_state(playbin_, GST_STATE_PAUSED);
        mode = MediaMode::Stopped;
    }
    void Close() {
        if (playbin_ != nullptr) gst_element_set_state(playbin_, GST_STATE_NULL);
        file_.Release();
        mode = MediaMode::NotReady;
    }
    // The stream's length in the given format, once it can play.
    std::optional<gint64> Duration(GstFormat format) const {
        gint64 duration = 0;
        GstElement* source = nullptr;
        g_object_get(playbin_, "source", &source, nullptr);
        if (source == nullptr) return std::nullopt;
        const bool known = gst_element_query_duration(source, format, &duration) != FALSE;
        gst_object_unref(source);
        if (!known) return std::nullopt;
        return duration;
    }

    MediaMode mode = MediaMode::NotReady;

  private:
    bool Prepare(const std::string& uri) {
        if (playbin_ == nullptr) return false;
        g_object_set(playbin_, "uri", uri.c_str(), nullptr);
        if (gst_element_set_state(playbin_, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE ||
            gst_element_get_state(playbin_, nullptr, nullptr, kOpenTimeout) !=
                GST_STATE_CHANGE_SUCCESS) {
            Close();
            return false;
        }
        mode = MediaMode::Stopped;
        return true;
    }

    static gboolean OnMessage(GstBus*, GstMessage* message, gpointer data) {
        // Each stream has a bus of its own: every message is about this stream.
        auto* stream = static_cast<Stream*>(data);
        if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS) {
            stream->mode = MediaMode::Stopped;
            if (stream->onEnd) stream->onEnd();
        } else if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
            // A stream that failed while playing has stopped; it is heard no more.
            stream->mode = MediaMode::Stopped;
        }
        return TRUE;
    }

    // Called from a streaming thread when the playbin has read the whole file.
    static void OnAboutToFinish(GstElement* playbin, gpointer data) {
        auto* stream = static_cast<Stream*>(data);
        if (!stream->looping_) return;
        gchar* uri = nullptr;
        g_object_get(playbin, "current-uri", &uri, nullptr);
        if (uri != nullptr) g_object_set(playbin, "uri", uri, nullptr);
        g_free(uri);
    }

    GstElement* playbin_ = nullptr;
    HeldFile file_;
    guint watch_ = 0;
    std::atomic<bool> looping_{false};
};

std::string TrackUri(int track) {
    return "cdda://" + std::to_string(track);
}

class GstMediaPlayer : public MediaPlayer {
  public:
    GstMediaPlayer() {
        cd_.onEnd = [this] { NextTrack(); };
    }

    bool OpenCd() override {
        if (!cd_.Load(TrackUri(1))) return false;
        const GstFormat trackFormat = gst_format_get_by_nick("track");
        const auto tracks = cd_.Duration(trackFormat);
        tracks_ = tracks ? std::optional<int>(static_cast<int>(*tracks)) : std::nullopt;
        track_ = 1;
        discEnded_ = false;
        return true;
    }
    void CloseCd() override {
        cd_.Close();
        tracks_.reset();
    }
    std::optional<int> CdTrackCount() override { return tracks_; }
    std::optional<int> CdCurrentTrack() override {
        return tracks_ ? std::optional<int>(track_) : std::nullopt;
    }
    MediaMode CdMode() override { return tracks_ ? cd_.mode : MediaMode::NotReady; }
    bool PlayCd(std::optional<CdPosition> from) override {
        if (!tracks_) return false;
        if (!from && !discEnded_ && cd_.mode != MediaMode::NotReady) return cd_.Play();
        const CdPosition start = from ? *from : CdPosition{discEnded_ ? 1 : track_, 0};
        discEnded_ = false;
        track_ = start.track;
        // Only a start inside a track waits for the drive, to seek there.
        if (start.offsetMs == 0) {
            cd_.Start(TrackUri(track_));
            return cd_.mode == MediaMode::Playing;
        }
        return cd_.Load(TrackUri(track_)) && cd_.Seek(start.offsetMs) && cd_.Play();
    }
    void StopCd() override { cd_.Pause(); }

    bool OpenFile(const std::string& path) override { return file_.LoadFile(path); }
    void CloseFile() override { file_.Close(); }
    MediaMode FileMode() override { return file_.mode; }
    bool PlayFile(std::optional<uint32_t> fromMs) override {
        if (file_.mode == MediaMode::NotReady) return false;
        if (fromMs && !file_.Seek(*fromMs)) return false;
        return file_.Play();
    }
    void StopFile() override { file_.Pause(); }

    int32_t OutputDeviceCount() override {
        GstElementFactory* sink = gst_element_factory_find("autoaudiosink");
        if (sink == nullptr) return 0;
        gst_object_unref(sink);
        return 1;
    }
    bool PlaySound(const std::string& path, bool loop) override {
        sound_.SetLooping(loop);
        return sound_.LoadFile(path) && sound_.Play();
    }
    void StopSound() override { sound_.Close(); }

  private:
    // A track has ended: the disc plays on into the next one, or stops after the last.
    void NextTrack() {
        if (!tracks_ || track_ >= *tracks_) {
            discEnded_ = true;
            return;
        }
        ++track_;
        cd_.Start(TrackUri(track_));
    }

    Stream cd_{"cd"};
    Stream file_{"music"};
    Stream sound_{"sound"};
    std::optional<int> tracks_;
    int track_ = 1;
    bool discEnded_ = false;
};

}  // namespace

std::unique_ptr<SoundSystem> CreateSoundSystem() {
    gst_init(nullptr, nullptr);
    return std::make_unique<MciInterpreter>(std::make_unique<GstMediaPlayer>());
}
