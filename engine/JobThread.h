#ifndef VASKREPORT_ENGINE_JOBTHREAD_H
#define VASKREPORT_ENGINE_JOBTHREAD_H

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// Callers embed the library on the understanding that a run stays on their
// own thread; a second one is started only when the environment asks for it
// with VASKREPORT_THREADS=2 (or more).
bool SecondThreadWanted();

// A second thread that runs one job at a time for its owner, who posts a
// job, does work of its own meanwhile and then waits for it. Only the owner
// posts and waits; the thread is stopped and joined on destruction.
class JobThread {
 public:
  JobThread() = default;
  ~JobThread();
  JobThread(const JobThread&) = delete;
  JobThread& operator=(const JobThread&) = delete;

  // False when no thread is wanted or none can be had; the owner then does
  // the work itself.
  bool Start();
  // Waits for the job before, then hands this one over.
  void Post(std::function<void()> job);
  // Returns once the last job posted is done.
  void Wait();
  // Whether a job is still running, for an owner that would rather not wait.
  bool Busy();

 private:
  void Loop();

  std::thread m_Thread;
  std::mutex m_Mutex;
  std::condition_variable m_Wake;
  std::condition_variable m_Done;
  std::function<void()> m_Job;
  bool m_Busy = false;
  bool m_Stop = false;
};

#endif
