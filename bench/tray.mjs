// Measures Kestrin's tray face in a real tray (Xvfb with Debian's trayer, clicked with xdotool) beside the
// smallest Qt Widgets tray program built the same way: launch to icon, click to panel on screen, idle CPU
// with the panel hidden and shown, and resident memory (the baseline's before and after its menu was
// shown once, as Kestrin's is after its panel was).
// Usage: node bench/tray.mjs   (after scripts/run has built build/Kestrin; IDLE_SECONDS, default 30;
// BY_MAPPING=1 also lists where the resident memory of the two differs, file by file)
import { execFileSync } from 'node:child_process';
import { existsSync, mkdtempSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { openDisplayWithTray } from './display.mjs';
import { freePort, idleCpu, residentByMapping, residentMiB, sleep } from './process.mjs';

const root = join(dirname(fileURLToPath(import.meta.url)), '..');
const kestrin = process.argv[2] ?? join(root, 'build/Kestrin/Contents/bin/kestrin');
const idleSeconds = Number(process.env.IDLE_SECONDS ?? 30);
const screen = { width: 1280, height: 800 };

if (!existsSync(kestrin)) throw new Error(`no ${kestrin}: run scripts/run --version first`);

// The baseline, built with the same compiler and build type as scripts/run builds Kestrin.
const baselineBuild = join(root, 'build/bench-minimal-tray');
execFileSync('cmake', ['-S', join(root, 'bench/minimal_tray'), '-B', baselineBuild, '-G', 'Ninja',
  '-DCMAKE_BUILD_TYPE=RelWithDebInfo'], { stdio: 'ignore' });
execFileSync('cmake', ['--build', baselineBuild], { stdio: 'ignore' });
const baseline = join(baselineBuild, 'minimal_tray');

// A display of its own, and a tray on it.
const { start, close, xdotool, waitForWindows } = await openDisplayWithTray(screen);

try {
  // The baseline first, alone in the tray.
  let launched = performance.now();
  const minimal = start(baseline);
  const minimalIcon = await waitForWindows('minimal_tray', 1);
  await sleep(2000);
  const minimalMiB = residentMiB(minimal.pid);
  const minimalMappings = residentByMapping(minimal.pid);
  console.log(`minimal Qt tray: launch to icon ${(minimalIcon.at - launched).toFixed(0)} ms; resident memory ${minimalMiB.toFixed(1)} MiB`);
  // Its menu opened once, with the right button, and closed: the baseline that has drawn text, as
  // Kestrin has once its panel was shown.
  const [minimalAt] = minimalIcon.found;
  xdotool('mousemove', '--sync', String(minimalAt.x + minimalAt.width / 2), String(minimalAt.y + minimalAt.height / 2));
  xdotool('click', '3');
  await waitForWindows('minimal_tray', 2);
  await sleep(500);
  xdotool('key', 'Escape');
  await waitForWindows('minimal_tray', 1);
  await sleep(1000);
  const minimalMenuMiB = residentMiB(minimal.pid);
  console.log(`minimal Qt tray after its menu was shown once: ${minimalMenuMiB.toFixed(1)} MiB`);
  minimal.kill('SIGTERM');
  await new Promise((resolve) => minimal.once('exit', resolve));

  launched = performance.now();
  const app = start(kestrin, [], {
    HOME: mkdtempSync(join(tmpdir(), 'kestrin-bench-')),
    XDG_RUNTIME_DIR: mkdtempSync(join(tmpdir(), 'kestrin-bench-run-')),
    CORVANE_PORT: String(await freePort()),
    CORVANE_SUPPRESS_WELCOME: '1',
  });
  const shown = await waitForWindows('kestrin', 1);
  console.log(`Kestrin: launch to icon ${(shown.at - launched).toFixed(0)} ms`);
  await sleep(3000); // the server is up and read
  const beforePanelMiB = residentMiB(app.pid);

  const [icon] = shown.found;
  // What running xdotool itself costs, so that it can be told apart from Kestrin's share.
  const toolStarted = performance.now();
  xdotool('getmouselocation');
  const toolCost = performance.now() - toolStarted;
  const clicks = [];
  for (let round = 0; round < 5; ++round) {
    xdotool('mousemove', '--sync', String(icon.x + icon.width / 2), String(icon.y + icon.height / 2));
    const clicked = performance.now();
    xdotool('click', '--delay', '0', '1'); // by default it rests 100 ms after each click
    const panel = await waitForWindows('kestrin', 2);
    clicks.push(panel.at - clicked);
    await sleep(500);
    xdotool('mousemove', '200', '400', 'click', '1'); // elsewhere: the popup closes
    await waitForWindows('kestrin', 1);
    await sleep(300);
  }
  clicks.sort((a, b) => a - b);
  console.log(`click to panel on screen: median ${clicks[2].toFixed(0)} ms, worst ${clicks[4].toFixed(0)} ms ` +
    `(from the start of xdotool's click to the first search that finds it; one xdotool run costs ${toolCost.toFixed(0)} ms)`);

  await sleep(1000);
  const hidden = await idleCpu(app.pid, idleSeconds);
  console.log(`idle CPU over ${idleSeconds} s, panel hidden: ${hidden.toFixed(3)}% of one core`);
  const afterMiB = residentMiB(app.pid);
  if (process.env.BY_MAPPING) {
    // Kestrin's resident KiB beside the minimal tray's (before its menu), largest difference first.
    const kestrinMappings = residentByMapping(app.pid);
    const names = new Set([...minimalMappings.keys(), ...kestrinMappings.keys()]);
    const rows = [...names].map((name) => [name, minimalMappings.get(name) ?? 0, kestrinMappings.get(name) ?? 0])
      .filter(([, minimalKiB, kestrinKiB]) => Math.abs(kestrinKiB - minimalKiB) >= 32)
      .sort((a, b) => (b[2] - b[1]) - (a[2] - a[1]));
    console.log('resident KiB by mapping: minimal tray, Kestrin, difference');
    for (const [name, minimalKiB, kestrinKiB] of rows)
      console.log(`${String(minimalKiB).padStart(8)} ${String(kestrinKiB).padStart(8)} ${String(kestrinKiB - minimalKiB).padStart(8)}  ${name}`);
  }
  console.log(`resident memory: ${beforePanelMiB.toFixed(1)} MiB before the panel was first shown, ${afterMiB.toFixed(1)} MiB after; ` +
    `${(afterMiB / minimalMiB).toFixed(2)}× the minimal tray, ${(afterMiB / minimalMenuMiB).toFixed(2)}× it after its menu was shown`);

  xdotool('mousemove', String(icon.x + icon.width / 2), String(icon.y + icon.height / 2), 'click', '1');
  await waitForWindows('kestrin', 2);
  await sleep(1000);
  const open = await idleCpu(app.pid, Math.min(idleSeconds, 10));
  console.log(`CPU with the panel shown (its countdown once a second): ${open.toFixed(3)}% of one core`);

  const exited = new Promise((resolve) => app.once('exit', (code) => resolve(code)));
  app.kill('SIGTERM');
  console.log(`SIGTERM: exit code ${await exited}`);
} finally {
  close();
}
