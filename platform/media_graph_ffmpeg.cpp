#include <algorithm>
#include <cstring>
#include <limits>

#include "platform/debug_output.h"
#include "platform/ffmpeg/ffmpeg_ptr.h"
#include "platform/ffmpeg/media_graph_impl.h"
#include "platform/ffmpeg/picture_converter.h"
#include "platform/media_graph.h"
#include "platform/position_model.h"

namespace platform {

MediaGraph::MediaGraph(std::unique_ptr<Impl> pImpl) : m_pImpl(std::move(pImpl)) {}
MediaGraph::~MediaGraph() = default;

bool MediaGraph::GetConnectedFormat(dib::BitmapInfoHeader& header) const {
    if (!m_pImpl->bConnected) {
        return false;
    }
    header = m_pImpl->header;
    return true;
}

bool MediaGraph::GetSampleAspectRatio(int& nNum, int& nDen) const {
    const AVRational sar = m_pImpl->sar;
    if (!m_pImpl->bConnected || sar.num <= 0 || sar.den <= 0 || sar.num == sar.den) {
        return false;
    }
    nNum = sar.num;
    nDen = sar.den;
    return true;
}

bool MediaGraph::GetDuration(int64_t& llDuration) const {
    llDuration = m_pImpl->position.Duration();
    return true;
}

bool MediaGraph::GetStopPosition(int64_t& llStop) const {
    llStop = m_pImpl->position.StopPosition();
    return true;
}

bool MediaGraph::GetCurrentPosition(int64_t& llPosition) const {
    llPosition = m_pImpl->position.Current();
    return true;
}

void MediaGraph::SetPositions(const int64_t* pllCurrent, const int64_t* pllStop) {
    m_pImpl->position.SetPositions(pllCurrent, pllStop);
}

void MediaGraph::Run() {
    m_pImpl->position.Run();
}

void MediaGraph::Pause() {
    m_pImpl->position.Pause();
}

void MediaGraph::Stop() {
    m_pImpl->position.Stop();
}

GraphState MediaGraph::GetState() const {
    return m_pImpl->position.State();
}

CopyResult MediaGraph::CopyCurrentFrame(uint8_t* pDst, size_t nBytes) {
    const CopyResult result = SelectCurrentFrame();
    return result == CopyResult::Ok ? CopySelectedFrame(pDst, nBytes) : result;
}

CopyResult MediaGraph::SelectCurrentFrame() {
    Impl& g = *m_pImpl;
    av_frame_unref(g.pCopied.get());
    if (!g.bConnected) {
        return CopyResult::NotConnected;
    }
    int64_t llPosition = 0;
    GetCurrentPosition(llPosition);
    // The frame whose presentation interval contains the position is the one on screen.
    g.DecodeTo(llPosition + g.Tolerance());
    if (!g.bHaveCur || (g.cur.bCopied && !g.cur.bConverted)) {
        return CopyResult::Failed;
    }
    av_frame_unref(g.pSelected.get());
    if (av_frame_ref(g.pSelected.get(), g.cur.pFrame.get()) < 0) {
        return CopyResult::Failed;
    }
    // A turned stream's picture is turned here, in YUV, where its layout allows; else
    // encoders take the 24-bit copy.
    if (g.bKeepCopied &&
        (g.nQuarterTurns == 0 ? av_frame_ref(g.pCopied.get(), g.cur.pFrame.get()) < 0
                              : !TurnPicture(*g.cur.pFrame, g.nQuarterTurns, *g.pCopied))) {
        av_frame_unref(g.pCopied.get());  // only the 24-bit copy is there to encode from
    }
    return CopyResult::Ok;
}

CopyResult MediaGraph::CopySelectedFrame(uint8_t* pDst, size_t nBytes) {
    Impl& g = *m_pImpl;
    const CopyResult result = g.CopySelected(pDst, nBytes);
    if (result != CopyResult::Ok) {
        av_frame_unref(g.pCopied.get());  // no picture behind a copy that was not made
    }
    return result;
}

CopyResult MediaGraph::Impl::CopySelected(uint8_t* pDst, size_t nBytes) {
    if (!bConnected) {
        return CopyResult::NotConnected;
    }
    if (pDst == nullptr) {
        return CopyResult::Pointer;
    }
    if (nBytes < header.biSizeImage) {
        return CopyResult::InvalidArg;
    }
    if (pSelected->buf[0] == nullptr) {
        return CopyResult::Failed;
    }
    // While the selection holds its picture no other frame can have that buffer.
    const bool bSelectedIsCur = bHaveCur && cur.pFrame->data[0] == pSelected->data[0];
    if (bSelectedIsCur && cur.bCopied) {
        std::memcpy(pDst, cur.bgr.data(), header.biSizeImage);  // made on the decode thread
        return CopyResult::Ok;
    }
    selectedBgr.resize(BufferBytes());
    if (!callerConverter.Convert(*pSelected, header, nQuarterTurns, selectedBgr.data(),
                                 dib::RowBytes24(header.biWidth))) {
        return CopyResult::Failed;
    }
    std::memcpy(pDst, selectedBgr.data(), header.biSizeImage);
    return CopyResult::Ok;
}

void MediaGraph::MakeCopiesAhead(bool bAhead) {
    const std::lock_guard<std::mutex> guard(m_pImpl->lock);
    m_pImpl->bCopiesAhead = bAhead;
}

void MediaGraph::KeepCopiedPicture(bool bKeep) {
    m_pImpl->bKeepCopied = bKeep;
    if (!bKeep) {
        av_frame_unref(m_pImpl->pCopied.get());
    }
}

const DecodedPicture* MediaGraph::CopiedPicture() const {
    return m_pImpl->pCopied->buf[0] != nullptr ? &m_pImpl->copiedPicture : nullptr;
}

int64_t MediaGraph::SelectedFrameStart() const {
    return m_pImpl->bHaveCur && m_pImpl->pSelected->buf[0] != nullptr ? m_pImpl->cur.llStart : -1;
}

bool MediaGraph::SelectedIsKeyFrame() const {
    return m_pImpl->pSelected->buf[0] != nullptr && m_pImpl->pSelected->key_frame != 0;
}

int64_t MediaGraph::NextFrameStart() {
    Impl& g = *m_pImpl;
    return g.bConnected && g.bHaveCur ? g.NextStart() : -1;
}

bool MediaGraph::KeyFrameNear(int64_t llFrom, bool bForward, int64_t& llKey) {
    Impl& g = *m_pImpl;
    if (!g.bConnected) {
        return false;
    }
    const int64_t ts = g.IndexTimeAt(llFrom) + (bForward ? 1 : 0);
    const std::lock_guard<std::mutex> guard(g.demuxLock);
    const int nIndex =
        av_index_search_timestamp(g.pStream, ts, bForward ? 0 : AVSEEK_FLAG_BACKWARD);
    const AVIndexEntry* pEntry =
        nIndex >= 0 ? avformat_index_get_entry(g.pStream, nIndex) : nullptr;
    if (pEntry == nullptr) {
        return false;
    }
    llKey = std::max<int64_t>(0, g.PositionOfIndexTime(pEntry->timestamp));
    return true;
}

int64_t MediaGraph::FrameNumberAt(int64_t llStart) const {
    const int64_t llFrame = NominalFrameTime();
    return (llStart + llFrame / 2) / llFrame;
}

int64_t MediaGraph::NominalFrameTime() const {
    return std::max<int64_t>(m_pImpl->llFrameUnits, 1);
}

void MediaGraph::KeepFramesBehind(size_t nBytes) {
    Impl& g = *m_pImpl;
    const std::lock_guard<std::mutex> guard(g.lock);
    g.nBehindBudget = nBytes;
    g.TrimBehind();
}

size_t MediaGraph::FramesBehindBytes() const {
    return m_pImpl->nBehindBytes;
}

bool MediaGraph::HasFrameAt(int64_t llPosition) {
    Impl& g = *m_pImpl;
    const std::lock_guard<std::mutex> guard(g.lock);
    return g.bConnected && g.InRun(llPosition + g.Tolerance());
}

int64_t MediaGraph::RoundingTolerance() const {
    return m_pImpl->Tolerance();
}

int64_t MediaGraph::OriginMicroseconds() const {
    const Impl& g = *m_pImpl;
    return g.pStream != nullptr
               ? av_rescale_q(g.FirstFrameTime(), g.pStream->time_base, AV_TIME_BASE_Q)
               : 0;
}

std::vector<int64_t> MediaGraph::UndecodedStarts() const {
    const std::lock_guard<std::mutex> guard(m_pImpl->lock);
    return {m_pImpl->undecoded.begin(), m_pImpl->undecoded.end()};
}

UndecodedFrames UndecodedBetween(const std::vector<int64_t>& starts, int64_t llFrom, int64_t llTo) {
    const auto first = std::lower_bound(starts.begin(), starts.end(), llFrom);
    const auto last = std::lower_bound(first, starts.end(), llTo);
    if (first == last) {
        return {};
    }
    return {last - first, *first, *(last - 1)};
}

int64_t MediaGraph::DecodedFrameCount() const {
    const std::lock_guard<std::mutex> guard(m_pImpl->lock);
    return m_pImpl->llDecoded;
}
int64_t MediaGraph::SeekCount() const {
    const std::lock_guard<std::mutex> guard(m_pImpl->lock);
    return m_pImpl->llSeeks;
}

}  // namespace platform
