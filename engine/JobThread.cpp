#include "engine/JobThread.h"

#include <cstdlib>
#include <utility>

bool SecondThreadWanted() {
  const char* value = std::getenv("VASKREPORT_THREADS");
  if (!value) return false;
  char* end = nullptr;
  const long threads = std::strtol(value, &end, 10);
  return end != value && *end == '\0' && threads >= 2;
}

JobThread::~JobThread() {
  if (!m_Thread.joinable()) return;
  Wait();
  {
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Stop = true;
  }
  m_Wake.notify_one();
  m_Thread.join();
}

bool JobThread::Start() {
  if (m_Thread.joinable()) return true;
  if (!SecondThreadWanted()) return false;
  try {
    m_Thread = std::thread(&JobThread::Loop, this);
  } catch (...) {
    return false;
  }
  return true;
}

void JobThread::Post(std::function<void()> job) {
  std::unique_lock<std::mutex> lock(m_Mutex);
  m_Done.wait(lock, [this] { return !m_Busy; });
  m_Job = std::move(job);
  m_Busy = true;
  lock.unlock();
  m_Wake.notify_one();
}

void JobThread::Wait() {
  std::unique_lock<std::mutex> lock(m_Mutex);
  m_Done.wait(lock, [this] { return !m_Busy; });
}

bool JobThread::Busy() {
  std::lock_guard<std::mutex> lock(m_Mutex);
  return m_Busy;
}

void JobThread::Loop() {
  std::unique_lock<std::mutex> lock(m_Mutex);
  for (;;) {
    m_Wake.wait(lock, [this] { return m_Busy || m_Stop; });
    if (m_Stop) return;
    lock.unlock();
    m_Job();
    lock.lock();
    m_Busy = false;
    m_Done.notify_one();
  }
}
