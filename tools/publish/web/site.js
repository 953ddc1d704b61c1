// The page of a map published by kelderwyn-publish: Leaflet over the tiles of
// the viewer's seven levels, one web zoom per level, every tile shown at 1:1;
// the search and Go of the viewer; a status line that a screen reader reads
// after every change of level. places.js defines window.KelderwynSite.
(function () {
  'use strict';
  var site = window.KelderwynSite;
  var factors = site.factors;
  var top = factors.length - 1;
  var features = site.places.features;
  var status = document.getElementById('status');
  var blank = 'data:image/gif;base64,R0lGODlhAQABAIAAAAAAAP///yH5BAEAAAAALAAAAAABAAEAAAIBRAA7';

  // Level z shows the map at factors[z], the viewer's own factor; between
  // two levels (a pinch under way) the scale runs geometrically.
  function scale(zoom) {
    if (zoom === Math.round(zoom) && zoom >= 0 && zoom <= top) return factors[zoom];
    var z = Math.max(0, Math.min(top - 1, Math.floor(zoom)));
    return factors[z] * Math.pow(factors[z + 1] / factors[z], zoom - z);
  }
  function zoomOf(s) {
    var z = 0;
    while (z < top - 1 && s > factors[z + 1]) z++;
    return z + Math.log(s / factors[z]) / Math.log(factors[z + 1] / factors[z]);
  }
  // A point's latitude is its row and its longitude its column at full size.
  var crs = L.extend({}, L.CRS.Simple, {
    transformation: new L.Transformation(1, 0, 1, 0), scale: scale, zoom: zoomOf
  });

  var map = L.map('map', {
    crs: crs, minZoom: 0, maxZoom: top, zoomSnap: 1, zoomDelta: 1, attributionControl: false
  });
  // Only the tiles that were written are asked for; the rest stay blank.
  var Tiles = L.TileLayer.extend({
    getTileUrl: function (c) {
      var level = site.levels[c.z];
      if (!level || c.x < 0 || c.y < 0 || c.x >= level.columns || c.y >= level.rows) return blank;
      return 'tiles/' + c.z + '/' + c.x + '/' + c.y + '.png';
    }
  });
  var tiles = new Tiles('', { tileSize: 256, minZoom: 0, maxZoom: top, noWrap: true }).addTo(map);

  // The view that puts level pixel (x, y) at the view's centre pixel (half
  // the size, rounded down): Leaflet then rounds no half pixel either way.
  function centreOn(x, y, z) {
    var size = map.getSize();
    return map.unproject([x - Math.floor(size.x / 2) + size.x / 2, y - Math.floor(size.y / 2) + size.y / 2], z);
  }
  function wholeMap() {
    return map.unproject([site.levels[0].width / 2, site.levels[0].height / 2], 0);
  }
  function point(i, z) {
    return site.points[i].slice(2 * z, 2 * z + 2);
  }

  // The view in the level's pixels, for the status line and for tests.
  var going = 0;
  var busy = false;
  function report() {
    var origin = map.getPixelBounds().min.round();
    var size = map.getSize();
    window.kelderwynView = {
      level: map.getZoom(), left: origin.x, top: origin.y, width: size.x, height: size.y,
      loading: tiles.isLoading(), busy: busy, status: status.textContent
    };
  }

  // The place drawn at the level whose square lies nearest the view's
  // centre; of several as near, the first in the database.
  function nearest(z, x, y) {
    var shown = site.levels[z].shown;
    var best = -1;
    var bestDistance = 0;
    for (var k = 0; k < shown.length; k++) {
      var p = point(shown[k], z);
      var distance = (p[0] - x) * (p[0] - x) + (p[1] - y) * (p[1] - y);
      if (best < 0 || distance < bestDistance) {
        best = shown[k];
        bestDistance = distance;
      }
    }
    return best;
  }
  function describe() {
    var z = map.getZoom();
    var origin = map.getPixelBounds().min.round();
    var size = map.getSize();
    var i = nearest(z, origin.x + Math.floor(size.x / 2), origin.y + Math.floor(size.y / 2));
    var text = 'Zoom level ' + z + ' of ' + top;
    if (i >= 0 && features[i].properties.name !== '') text += ', near ' + features[i].properties.name;
    // The same sentence again is announced only after the region was emptied.
    if (status.textContent === text) {
      status.textContent = '';
      setTimeout(function () { status.textContent = text; report(); }, 100);
    } else {
      status.textContent = text;
    }
    report();
  }

  // When the view has settled and its tiles are in, then(); a later Go ends this one.
  function settled(token, then) {
    map.once('moveend', function () {
      setTimeout(function () {
        if (token !== going) return;
        if (tiles.isLoading()) tiles.once('load', function () { if (token === going) then(); });
        else then();
      }, 0);
    });
  }

  // Go: the first place of that exact name, level by level to the level its
  // type goes to, each level centred on it (level 0 shows the whole map).
  function go(name) {
    var i = -1;
    for (var k = 0; k < features.length && i < 0; k++) if (features[k].properties.name === name) i = k;
    if (i < 0) return;
    var target = features[i].properties.goLevel;
    var token = ++going;
    var stepped = false;
    busy = true;
    function end() {
      busy = false;
      if (!stepped) describe();
      report();
    }
    function step() {
      if (token !== going) return;
      var z = map.getZoom();
      if (z === target) {
        if (stepped || z === 0) return end();
        settled(token, end);
        var p = point(i, z);
        map.setView(centreOn(p[0], p[1], z), z);
        return;
      }
      var next = z < target ? z + 1 : z - 1;
      stepped = true;
      settled(token, step);
      if (next === 0) {
        map.setView(wholeMap(), 0);
      } else {
        var q = point(i, next);
        map.setView(centreOn(q[0], q[1], next), next);
      }
    }
    step();
  }

  // The search: a text field over the sorted names; typing filters them
  // (names that begin with the text first, then those that hold it), the
  // arrow keys choose, Return or the button runs Go.
  var input = document.getElementById('place');
  var list = document.getElementById('places');
  var collator = new Intl.Collator(undefined, { sensitivity: 'accent' });
  var names = features.map(function (f) { return f.properties.name; }).sort(collator.compare);
  var shownLimit = 50;
  var matches = [];
  var active = -1;

  function filter() {
    var text = input.value.toLocaleLowerCase();
    var begin = [];
    var hold = [];
    names.forEach(function (name) {
      var at = name.toLocaleLowerCase().indexOf(text);
      if (at === 0) begin.push(name);
      else if (at > 0) hold.push(name);
    });
    matches = begin.concat(hold);
  }
  function render() {
    list.textContent = '';
    matches.slice(0, shownLimit).forEach(function (name, k) {
      var item = document.createElement('li');
      item.id = 'place-' + k;
      item.setAttribute('role', 'option');
      item.setAttribute('aria-selected', k === active ? 'true' : 'false');
      item.textContent = name;
      item.addEventListener('mousedown', function (event) {
        event.preventDefault();
        choose(name);
      });
      list.appendChild(item);
    });
    if (matches.length > shownLimit) {
      var more = document.createElement('li');
      more.className = 'more';
      more.textContent = (matches.length - shownLimit) + ' more: type more of the name';
      list.appendChild(more);
    }
    var open = input.value !== '' && matches.length > 0 && document.activeElement === input;
    list.hidden = !open;
    input.setAttribute('aria-expanded', open ? 'true' : 'false');
    if (open && active >= 0) {
      input.setAttribute('aria-activedescendant', 'place-' + active);
      document.getElementById('place-' + active).scrollIntoView({ block: 'nearest' });
    } else {
      input.removeAttribute('aria-activedescendant');
    }
  }
  function close() {
    active = -1;
    list.hidden = true;
    input.setAttribute('aria-expanded', 'false');
    input.removeAttribute('aria-activedescendant');
  }
  function choose(name) {
    input.value = name;
    close();
    go(name);
  }

  input.addEventListener('input', function () {
    active = -1;
    filter();
    render();
  });
  input.addEventListener('keydown', function (event) {
    var count = Math.min(matches.length, shownLimit);
    if ((event.key === 'ArrowDown' || event.key === 'ArrowUp') && input.value !== '' && count > 0) {
      event.preventDefault();
      active = event.key === 'ArrowDown' ? (active + 1) % count : (active <= 0 ? count : active) - 1;
      render();
    } else if (event.key === 'Escape' && !list.hidden) {
      event.preventDefault();
      close();
    }
  });
  input.addEventListener('blur', close);
  document.getElementById('search').addEventListener('submit', function (event) {
    event.preventDefault();
    var text = input.value;
    filter();
    if (active >= 0) choose(matches[active]);
    else if (names.indexOf(text) >= 0) choose(text);
    else if (text !== '' && matches.length > 0) choose(matches[0]);
  });

  map.on('zoomend', describe);
  map.on('moveend', report);
  tiles.on('loading load', report);
  map.setView(wholeMap(), 0);
}());
