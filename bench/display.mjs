// A display of its own with a tray on it, for the benches that run the tray face: Xvfb with Debian's
// trayer at the top right, the environment that points a program there (and at a session bus that does
// not exist, so that no StatusNotifierItem host takes the icon), and the programs started on it.
import { spawn, execFileSync } from 'node:child_process';
import { existsSync } from 'node:fs';
import { sleep } from './process.mjs';

export const openDisplayWithTray = async (screen = { width: 1280, height: 800 }) => {
  let display;
  for (let number = 141; number < 190 && !display; ++number)
    if (!existsSync(`/tmp/.X11-unix/X${number}`) && !existsSync(`/tmp/.X${number}-lock`)) display = `:${number}`;
  if (!display) throw new Error('no free X display number between :141 and :189');
  const xvfb = spawn('Xvfb', [display, '-screen', '0', `${screen.width}x${screen.height}x24`, '-nolisten', 'tcp'],
    { stdio: 'ignore' });
  const children = [xvfb];
  const env = { ...process.env, DISPLAY: display, DBUS_SESSION_BUS_ADDRESS: 'unix:path=/nonexistent' };
  delete env.QT_QPA_PLATFORM;
  delete env.WAYLAND_DISPLAY;

  // Started on the display; its output ignored unless `stdio` says otherwise.
  const start = (program, args = [], extra = {}, stdio = 'ignore') => {
    const child = spawn(program, args, { env: { ...env, ...extra }, stdio });
    children.push(child);
    return child;
  };
  // Every program started here, last first, then the display itself.
  const close = () => {
    for (const child of children.reverse()) if (child.exitCode === null && child.signalCode === null) child.kill('SIGTERM');
  };
  const xdotool = (...args) => {
    try {
      return execFileSync('xdotool', args, { env }).toString();
    } catch {
      return '';
    }
  };
  // The visible windows of a program, by class instance, each with its place.
  const windows = (instance) =>
    xdotool('search', '--onlyvisible', '--classname', `^${instance}$`).split('\n').filter(Boolean).map((id) => {
      const values = Object.fromEntries(xdotool('getwindowgeometry', '--shell', id).split('\n').filter(Boolean)
        .map((line) => line.split('=')).map(([key, value]) => [key, Number(value)]));
      return { x: values.X, y: values.Y, width: values.WIDTH, height: values.HEIGHT };
    });
  const waitForWindows = async (instance, count) => {
    for (const begun = performance.now(); performance.now() - begun < 20000;) {
      const found = windows(instance);
      if (found.length === count) return { at: performance.now(), found };
    }
    throw new Error(`${instance} never had ${count} visible windows`);
  };

  try {
    while (!existsSync(`/tmp/.X11-unix/X${display.slice(1)}`)) {
      if (xvfb.exitCode !== null) throw new Error(`Xvfb could not open ${display}`);
      await sleep(10);
    }
    start('trayer', ['--edge', 'top', '--align', 'right', '--widthtype', 'request', '--height', '28']);
    await waitForWindows('panel', 1);
  } catch (error) {
    close();
    throw error;
  }
  return { display, env, start, close, xdotool, windows, waitForWindows };
};
