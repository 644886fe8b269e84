#pragma once
// A swscale context of our own, built again only when what it converts changes. swscale's own
// cache (sws_getCachedContext) may rebuild a context behind its caller, even at the old one's
// address, and so lose the colours set on it. Include only from implementation files.
#include "platform/ffmpeg/ffmpeg_ptr.h"

namespace platform {

class ScalerCache {
  public:
    struct Job {
        int nSrcW = 0;
        int nSrcH = 0;
        int nSrcFormat = -1;
        int nDstW = 0;
        int nDstH = 0;
        int nDstFormat = -1;
        int nFlags = 0;
        int nSrcSpace = SWS_CS_DEFAULT;  // the source's matrix; the target's is BT.601
        int nSrcFullRange = 0;
        int nDstFullRange = 0;
        bool operator==(const Job&) const = default;
    };

    // The context for the job (building one is costly: only when the job changes), or null
    // when it cannot be built.
    SwsContext* For(const Job& job) {
        if (!m_pSws || job != m_job) {
            m_pSws.reset(sws_getContext(job.nSrcW, job.nSrcH,
                                        static_cast<AVPixelFormat>(job.nSrcFormat), job.nDstW,
                                        job.nDstH, static_cast<AVPixelFormat>(job.nDstFormat),
                                        job.nFlags, nullptr, nullptr, nullptr));
            if (!m_pSws) {
                return nullptr;
            }
            sws_setColorspaceDetails(m_pSws.get(), sws_getCoefficients(job.nSrcSpace),
                                     job.nSrcFullRange, sws_getCoefficients(SWS_CS_DEFAULT),
                                     job.nDstFullRange, 0, 1 << 16, 1 << 16);
            m_job = job;
        }
        return m_pSws.get();
    }

  private:
    ff::SwsPtr m_pSws;
    Job m_job;
};

}  // namespace platform
