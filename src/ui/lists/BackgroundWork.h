#pragma once

#include <QString>
#include <atomic>
#include <functional>

class TF_Progresso;

// How far background work has come: Steps counts the progress window's steps; Phase picks the
// description line. Written by the worker, read by the window.
struct TBackgroundProgress
{
    std::atomic<int> Steps{0};
    std::atomic<int> Phase{0};
};

// Runs work on a worker thread and waits for it while the window keeps painting (user input
// waits until the work is done), with the wait cursor. With a progress window, it is stepped as
// state.Steps grows and re-described with phaseText(state.Phase) when the phase changes.
// work must not touch widgets.
void RunInBackground(const std::function<void()>& work, TF_Progresso* progress = nullptr,
                     TBackgroundProgress* state = nullptr, const std::function<QString(int)>& phaseText = {});
